#include "identity/IdTokens.h"
#include <cerrno>
#include <cstdlib>
#include <jwt.h>
#include <memory>
#include <stdexcept>

namespace tender::server {
namespace {

constexpr const char* issuer = "tender-server";

struct JwtFree {
    void operator()(jwt_t* jwt) const { jwt_free(jwt); }
};
using JwtPtr = std::unique_ptr<jwt_t, JwtFree>;

const unsigned char* keyBytes(const std::string& secret)
{
    return reinterpret_cast<const unsigned char*>(secret.data());
}

}

IdTokens::IdTokens(std::string secret)
    : secret_(std::move(secret))
{
}

std::string IdTokens::issue(const std::string& uid, const std::string& email, std::int64_t nowSeconds,
    std::int64_t sessionEpoch) const
{
    jwt_t* raw = nullptr;
    if (jwt_new(&raw) != 0)
        throw std::runtime_error("jwt_new failed");
    JwtPtr jwt(raw);
    bool ok = jwt_add_grant(raw, "iss", issuer) == 0 && jwt_add_grant(raw, "sub", uid.c_str()) == 0
        && jwt_add_grant(raw, "email", email.c_str()) == 0 && jwt_add_grant_int(raw, "iat", nowSeconds) == 0
        && jwt_add_grant_int(raw, "exp", nowSeconds + lifetimeSeconds) == 0
        && (sessionEpoch == 0 || jwt_add_grant_int(raw, "epoch", sessionEpoch) == 0)
        && jwt_set_alg(raw, JWT_ALG_HS256, keyBytes(secret_), static_cast<int>(secret_.size())) == 0;
    char* encoded = ok ? jwt_encode_str(raw) : nullptr;
    if (!encoded)
        throw std::runtime_error("cannot sign an identity token");
    std::string token(encoded);
    std::free(encoded);
    return token;
}

std::optional<IdClaims> IdTokens::verify(const std::string& token, std::int64_t nowSeconds) const
{
    if (token.empty() || token.size() > 4096)
        return std::nullopt;
    jwt_t* raw = nullptr;
    if (jwt_decode(&raw, token.c_str(), keyBytes(secret_), static_cast<int>(secret_.size())) != 0 || !raw)
        return std::nullopt;
    JwtPtr jwt(raw);
    // An "alg":"none" token must never pass, whatever the library decides about it.
    if (jwt_get_alg(raw) != JWT_ALG_HS256)
        return std::nullopt;
    const char* iss = jwt_get_grant(raw, "iss");
    const char* sub = jwt_get_grant(raw, "sub");
    const char* email = jwt_get_grant(raw, "email");
    long expiresAt = jwt_get_grant_int(raw, "exp");
    errno = 0;
    long sessionEpoch = jwt_get_grant_int(raw, "epoch");
    if (errno == ENOENT)
        sessionEpoch = 0; // a token of an older version, or of a user who never reset
    else if (errno != 0)
        return std::nullopt;
    if (!iss || std::string(iss) != issuer || !sub || !*sub || expiresAt <= nowSeconds)
        return std::nullopt;
    return IdClaims{sub, email ? email : "", expiresAt, sessionEpoch};
}

}
