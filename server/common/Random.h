#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace tender::server {

// Cryptographically random text of `length` symbols drawn uniformly from `alphabet`.
std::string randomText(std::string_view alphabet, std::size_t length);

// Identifiers and secrets: letters and digits.
std::string randomId(std::size_t length);

// Uniform integer in [0, bound).
std::uint32_t randomBelow(std::uint32_t bound);

}
