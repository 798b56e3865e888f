#include "FuzzTarget.h"
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

namespace tender::fuzz {
namespace {

std::map<std::string, Target, std::less<>>& targets()
{
    static std::map<std::string, Target, std::less<>> all;
    return all;
}

}

bool registerTarget(std::string_view name, Target target)
{
    return targets().emplace(name, target).second;
}

Target target(std::string_view name)
{
    auto found = name.empty() && targets().size() == 1 ? targets().begin() : targets().find(name);
    return found == targets().end() ? nullptr : found->second;
}

void expect(bool holds, std::string_view what)
{
    if (holds)
        return;
    std::fprintf(stderr, "finding: %.*s\n", static_cast<int>(what.size()), what.data());
    std::abort();
}

}
