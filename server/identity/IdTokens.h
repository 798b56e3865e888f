#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace tender::server {

struct IdClaims {
    std::string uid;
    std::string email;
    std::int64_t expiresAt = 0; // seconds since the epoch
    std::int64_t sessionEpoch = 0; // the user's session epoch when it was issued
};

// Identity tokens: HS256-signed JWTs carrying the uid as subject, the e-mail, an expiry and the
// user's session epoch (absent in tokens of older versions: epoch 0).
class IdTokens {
public:
    static constexpr std::int64_t lifetimeSeconds = 3600;

    explicit IdTokens(std::string secret);
    std::string issue(const std::string& uid, const std::string& email, std::int64_t nowSeconds,
        std::int64_t sessionEpoch = 0) const;
    // Checks signature, algorithm, issuer and expiry.
    std::optional<IdClaims> verify(const std::string& token, std::int64_t nowSeconds) const;

private:
    std::string secret_;
};

}
