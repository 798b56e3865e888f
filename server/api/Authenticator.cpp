#include "api/Authenticator.h"
#include "common/Time.h"
#include "crypto/TokenHash.h"
#include "http/Responses.h"

namespace tender::server {

Authenticator::Authenticator(Store& store, const IdTokens& tokens)
    : store_(store)
    , tokens_(tokens)
{
}

std::optional<Principal> Authenticator::authenticate(const Request& request) const
{
    std::string token(bearerToken(request));
    if (token.empty())
        return std::nullopt;
    if (token.starts_with(deviceTokenPrefix)) {
        auto device = store_.deviceByTokenHash(tokenHash(token));
        if (!device)
            return std::nullopt;
        auto owner = store_.userById(device->owner);
        if (!owner)
            return std::nullopt;
        return Principal{std::move(*owner), std::move(device)};
    }
    auto claims = tokens_.verify(token, nowMs() / 1000);
    if (!claims)
        return std::nullopt;
    auto user = store_.userById(claims->uid);
    if (!user || user->sessionEpoch != claims->sessionEpoch)
        return std::nullopt;
    return Principal{std::move(*user), std::nullopt};
}

RouteHandler forPrincipal(const Authenticator& auth, PrincipalHandler handler)
{
    return [&auth, handler = std::move(handler)](const RouteContext& context) {
        auto principal = auth.authenticate(context.request);
        if (!principal)
            return errorResponse(http::status::unauthorized, "sign in first");
        return handler(context, *principal);
    };
}

RouteHandler forUser(const Authenticator& auth, UserHandler handler)
{
    return forPrincipal(auth, [handler = std::move(handler)](const RouteContext& context, const Principal& who) {
        if (who.device)
            return errorResponse(http::status::forbidden, "a device token only sends signals");
        return handler(context, who.user);
    });
}

}
