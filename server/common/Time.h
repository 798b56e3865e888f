#pragma once
#include <cstdint>
#include <string>

namespace tender::server {

// Milliseconds since the Unix epoch, wall clock.
std::int64_t nowMs();

// ISO 8601 UTC with milliseconds: 2024-05-01T10:20:30.123Z
std::string isoTime(std::int64_t ms);

}
