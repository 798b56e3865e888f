#pragma once

#include <QApplication>
#include <QTest>

namespace tender::test {

// Test classes of a layer share one executable; each registers itself by class name, and the
// executable's main runs the one named first on its command line.
struct TestRegistration {
    using Run = int (*)(int argc, char **argv);
    TestRegistration(const char *name, Run run);
};

// Runs `Class` in the application object QTEST_MAIN (QApplication) or QTEST_GUILESS_MAIN
// (QCoreApplication) would give it. As with QTEST_MAIN, a class may set up its process before the
// application object exists, in a static initMain().
template<typename Class, typename App>
int runTest(int argc, char **argv)
{
    if constexpr (requires { Class::initMain(); })
        Class::initMain();
    App app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    Class test;
    return QTest::qExec(&test, argc, argv);
}

} // namespace tender::test

#define TENDER_TEST_REGISTER(Class, App)                                                                    \
    static const tender::test::TestRegistration Class##Registration(                                        \
        #Class, &tender::test::runTest<Class, App>);

#define TENDER_TEST_MAIN(Class) TENDER_TEST_REGISTER(Class, QApplication)
#define TENDER_TEST_GUILESS_MAIN(Class) TENDER_TEST_REGISTER(Class, QCoreApplication)
