#pragma once
#include <string_view>

namespace tender::server {

// One line on stderr, written within 100 ms by a thread of its own; callers never pass personal data.
void logLine(std::string_view line);

}
