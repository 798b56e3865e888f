#pragma once
#include <string_view>

namespace tender::fuzz {

using Target = void (*)(std::string_view input);

// Targets register under the name of their corpus folder. A libFuzzer program holds one; the
// replay program holds them all.
bool registerTarget(std::string_view name, Target target);
// The one of that name, or with none the only one there is (nullptr when there is no such target).
Target target(std::string_view name = {});

// A finding: says what broke and stops the run.
void expect(bool holds, std::string_view what);

}

// TENDER_FUZZ_TARGET(name) { ... }: a target that gets one input as `input`.
#define TENDER_FUZZ_TARGET(name) \
    static void fuzz_##name(std::string_view input); \
    [[maybe_unused]] static const bool registered_##name = tender::fuzz::registerTarget(#name, fuzz_##name); \
    static void fuzz_##name(std::string_view input)
