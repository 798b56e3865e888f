#pragma once
#include <string>
#include <string_view>

namespace tender::server {

// argon2id password hashes in libsodium's self-describing string form.
std::string hashPassword(std::string_view password);
bool verifyPassword(std::string_view hash, std::string_view password);

}
