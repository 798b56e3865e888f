#include "FuzzTarget.h"
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const auto target = tender::fuzz::target();
    target(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
