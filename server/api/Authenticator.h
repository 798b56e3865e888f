#pragma once
#include "http/Router.h"
#include "identity/VerifiedTokens.h"
#include "store/Store.h"
#include <functional>

namespace tender::server {

// Who sent a request: a user by identity token, or one of their devices by device token.
struct Principal {
    User user;
    std::optional<Device> device;
};

class Authenticator {
public:
    static constexpr std::string_view deviceTokenPrefix = "tdv_";

    Authenticator(Store& store, const IdTokens& tokens);
    std::optional<Principal> authenticate(const Request& request) const;

private:
    Store& store_;
    mutable VerifiedTokens tokens_;
};

using UserHandler = std::function<Response(const RouteContext&, const User&)>;
using PrincipalHandler = std::function<Response(const RouteContext&, const Principal&)>;

// Wraps a handler that needs a signed-in user (401 otherwise; device tokens are refused).
RouteHandler forUser(const Authenticator& auth, UserHandler handler);
// Wraps a handler open to users and devices alike.
RouteHandler forPrincipal(const Authenticator& auth, PrincipalHandler handler);

}
