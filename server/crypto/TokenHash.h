#pragma once
#include <string>
#include <string_view>

namespace tender::server {

// Refresh, device and reset tokens are long random strings, so a fast keyed-free hash
// is enough to keep them unusable if the database leaks.
std::string tokenHash(std::string_view token);

}
