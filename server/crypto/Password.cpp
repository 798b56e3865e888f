#include "crypto/Password.h"
#include <sodium.h>
#include <stdexcept>

namespace tender::server {

std::string hashPassword(std::string_view password)
{
    char out[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str_alg(out, password.data(), password.size(), crypto_pwhash_OPSLIMIT_INTERACTIVE,
            crypto_pwhash_MEMLIMIT_INTERACTIVE, crypto_pwhash_ALG_ARGON2ID13) != 0)
        throw std::runtime_error("out of memory while hashing a password");
    return out;
}

bool verifyPassword(std::string_view hash, std::string_view password)
{
    std::string stored(hash);
    return crypto_pwhash_str_verify(stored.c_str(), password.data(), password.size()) == 0;
}

}
