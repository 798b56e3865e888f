#include "TestMain.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace tender::test {
namespace {

std::map<std::string, TestRegistration::Run> &registry()
{
    static std::map<std::string, TestRegistration::Run> runs;
    return runs;
}

} // namespace

TestRegistration::TestRegistration(const char *name, Run run)
{
    registry().emplace(name, run);
}

} // namespace tender::test

// Usage: EXECUTABLE TestClass [Qt Test arguments]; without a class, lists the classes.
int main(int argc, char *argv[])
{
    const auto &runs = tender::test::registry();
    if (argc < 2 || std::strcmp(argv[1], "--list") == 0) {
        for (const auto &[name, run] : runs)
            std::printf("%s\n", name.c_str());
        return 0;
    }
    const auto found = runs.find(argv[1]);
    if (found == runs.end()) {
        std::fprintf(stderr, "no test class %s\n", argv[1]);
        return 2;
    }
    // Qt Test reads the arguments after the class name as its own.
    std::vector<char *> args{argv[0]};
    args.insert(args.end(), argv + 2, argv + argc);
    return found->second(int(args.size()), args.data());
}
