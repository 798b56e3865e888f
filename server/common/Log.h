#pragma once
#include <string_view>

namespace tender::server {

// One line on stderr; callers never pass personal data.
void logLine(std::string_view line);

}
