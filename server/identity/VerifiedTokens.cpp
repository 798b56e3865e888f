#include "identity/VerifiedTokens.h"
#include <sodium.h>

namespace tender::server {
namespace {

// 128 bits of BLAKE2b: nobody can make another token that collides with one that passed.
std::string digestOf(const std::string& token)
{
    std::string digest(16, '\0');
    crypto_generichash(reinterpret_cast<unsigned char*>(digest.data()), digest.size(),
        reinterpret_cast<const unsigned char*>(token.data()), token.size(), nullptr, 0);
    return digest;
}

}

VerifiedTokens::VerifiedTokens(const IdTokens& tokens)
    : tokens_(tokens)
{
}

std::optional<IdClaims> VerifiedTokens::verify(const std::string& token, std::int64_t nowSeconds)
{
    auto digest = digestOf(token);
    {
        std::lock_guard lock(mutex_);
        if (auto found = passed_.find(digest); found != passed_.end()) {
            if (found->second.expiresAt > nowSeconds)
                return found->second;
            passed_.erase(found);
            return std::nullopt;
        }
    }
    auto claims = tokens_.verify(token, nowSeconds);
    if (!claims)
        return claims;
    std::lock_guard lock(mutex_);
    if (passed_.size() >= maxKept)
        passed_.clear();
    passed_.emplace(std::move(digest), *claims);
    return claims;
}

}
