#pragma once

#include "TestMain.h"
#include <QObject>

#include <functional>
#include <memory>

namespace tender::test {

// Which application object a test class needs, as QTEST_MAIN and QTEST_GUILESS_MAIN choose it.
enum class AppKind { core, widgets };

// Test classes of a layer share one executable; each registers itself by class name, and the
// executable's main runs the one named first on its command line.
// A class may set up its process before the application object exists, in a static initMain(), as
// with QTEST_MAIN.
struct TestRegistration {
    TestRegistration(const char *name, AppKind kind, void (*initMain)(), std::function<std::unique_ptr<QObject>()> make);
};

template<typename Class>
void callInitMain()
{
    if constexpr (requires { Class::initMain(); })
        Class::initMain();
}

} // namespace tender::test

#define TENDER_TEST_REGISTER(Class, Kind)                                                                    \
    static const tender::test::TestRegistration Class##Registration(                                          \
        #Class, tender::test::AppKind::Kind, &tender::test::callInitMain<Class>,                               \
        [] { return std::unique_ptr<QObject>(new Class); });

#define TENDER_TEST_MAIN(Class) TENDER_TEST_REGISTER(Class, widgets)
#define TENDER_TEST_GUILESS_MAIN(Class) TENDER_TEST_REGISTER(Class, core)
