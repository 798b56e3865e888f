#pragma once
#include <filesystem>
#include <string>

namespace tender::server {

// Reads the signing secret from `path`, creating it (32 random bytes, mode 0600) on first start.
std::string loadOrCreateSecret(const std::filesystem::path& path);

}
