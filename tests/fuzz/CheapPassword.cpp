// Hashing at the service's cost (64 MiB, a tenth of a second) would make every input that signs in
// a hundred times slower than the rest, so libFuzzer programs link this cheaper argon2id in its
// place. The hash stays in the same form, and verifying reads its cost from it.
#include "crypto/Password.h"
#include <sodium.h>
#include <stdexcept>

namespace tender::server {

std::string hashPassword(std::string_view password)
{
    char out[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str_alg(out, password.data(), password.size(), crypto_pwhash_OPSLIMIT_MIN,
            crypto_pwhash_MEMLIMIT_MIN, crypto_pwhash_ALG_ARGON2ID13) != 0)
        throw std::runtime_error("out of memory while hashing a password");
    return out;
}

bool verifyPassword(std::string_view hash, std::string_view password)
{
    std::string stored(hash);
    return crypto_pwhash_str_verify(stored.c_str(), password.data(), password.size()) == 0;
}

}
