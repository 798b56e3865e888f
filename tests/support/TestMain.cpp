#include "TestMain.h"

#include <QApplication>
#include <QTest>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace tender::test {
namespace {

struct Entry {
    AppKind kind;
    void (*initMain)();
    std::function<std::unique_ptr<QObject>()> make;
};

std::map<std::string, Entry> &registry()
{
    static std::map<std::string, Entry> entries;
    return entries;
}

int listTests()
{
    for (const auto &[name, entry] : registry())
        std::printf("%s\n", name.c_str());
    return 0;
}

} // namespace

TestRegistration::TestRegistration(const char *name, AppKind kind, void (*initMain)(),
                                   std::function<std::unique_ptr<QObject>()> make)
{
    registry().emplace(name, Entry{kind, initMain, std::move(make)});
}

} // namespace tender::test

// Usage: EXECUTABLE TestClass [Qt Test arguments]; without a class, lists the classes.
int main(int argc, char *argv[])
{
    using namespace tender::test;
    if (argc < 2 || std::strcmp(argv[1], "--list") == 0)
        return listTests();
    auto found = registry().find(argv[1]);
    if (found == registry().end()) {
        std::fprintf(stderr, "no test class %s\n", argv[1]);
        return 2;
    }
    // Qt Test reads the arguments after the class name as its own.
    std::vector<char *> args{argv[0]};
    args.insert(args.end(), argv + 2, argv + argc);
    int count = static_cast<int>(args.size());
    found->second.initMain();
    std::unique_ptr<QCoreApplication> app;
    if (found->second.kind == AppKind::widgets)
        app = std::make_unique<QApplication>(count, args.data());
    else
        app = std::make_unique<QCoreApplication>(count, args.data());
    app->setAttribute(Qt::AA_Use96Dpi, true);
    auto test = found->second.make();
    return QTest::qExec(test.get(), count, args.data());
}
