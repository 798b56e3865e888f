#pragma once
#include "identity/IdTokens.h"
#include <mutex>
#include <unordered_map>

namespace tender::server {

// Identity tokens that passed the signature check, kept by a digest of the whole token so the
// same token is not checked again on every request. The expiry is still checked each time.
class VerifiedTokens {
public:
    // Past this many tokens the memory starts over rather than grow without end.
    static constexpr std::size_t maxKept = 1 << 17;

    explicit VerifiedTokens(const IdTokens& tokens);
    std::optional<IdClaims> verify(const std::string& token, std::int64_t nowSeconds);

private:
    const IdTokens& tokens_;
    std::mutex mutex_;
    std::unordered_map<std::string, IdClaims> passed_;
};

}
