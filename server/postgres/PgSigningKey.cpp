#include "postgres/PgSigningKey.h"
#include <sodium.h>

namespace tender::server {

std::string sharedSigningKey(PgPool& pool)
{
    std::string fresh(32, '\0');
    randombytes_buf(fresh.data(), fresh.size());
    std::string hex(fresh.size() * 2 + 1, '\0');
    sodium_bin2hex(hex.data(), hex.size(), reinterpret_cast<const unsigned char*>(fresh.data()), fresh.size());
    hex.pop_back();
    auto stored = pool.run([&](PgConnection& db) {
        db.exec("INSERT INTO secrets (name, value) VALUES ('signing', $1) ON CONFLICT DO NOTHING", {hex});
        return db.exec("SELECT value FROM secrets WHERE name = 'signing'").text(0, 0);
    });
    std::string key(32, '\0');
    std::size_t length = 0;
    if (sodium_hex2bin(reinterpret_cast<unsigned char*>(key.data()), key.size(), stored.c_str(), stored.size(), nullptr,
            &length, nullptr) != 0 || length != key.size())
        throw std::runtime_error("the signing key in the database is damaged: expected 64 hex digits");
    return key;
}

}
