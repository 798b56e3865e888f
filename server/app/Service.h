#pragma once
#include "api/ApiContext.h"
#include "api/StreamGate.h"
#include "app/Options.h"
#include "hub/LocalHub.h"
#include "identity/IdentityProvider.h"
#include "store/CachedStore.h"
#include "store/SqliteStore.h"
#include <optional>

namespace tender::server {

// The whole service short of sockets and threads: storage, identity, live delivery and every
// route, so that a request can also be handed to it directly.
class Service {
public:
    // Opens the data directory, creating what is missing.
    explicit Service(const Options& options);

    // Registers every route; `webBase` is the address that pages and mail link to.
    void addRoutes(std::string webBase);

    const Router& router() const { return router_; }
    StreamGate& gate() { return gate_; }
    Hub& hub() { return hub_; }
    LastSeen& lastSeen() { return lastSeen_; }
    CachedStore& store() { return store_; }

private:
    Options options_;
    SqliteStore database_;
    CachedStore store_;
    IdTokens idTokens_;
    LoginThrottle throttle_;
    Outbox outbox_;
    LocalHub hub_;
    Signals signals_;
    LastSeen lastSeen_;
    Authenticator auth_;
    ApiContext api_;
    StreamGate gate_;
    std::optional<IdentityProvider> provider_; // needs the web base
    Router router_;
};

}
