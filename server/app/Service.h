#pragma once
#include "api/ApiContext.h"
#include "api/StreamGate.h"
#include "app/Backends.h"
#include "app/Options.h"
#include "identity/IdentityProvider.h"
#include "ops/Metrics.h"
#include "ops/Readiness.h"
#include <optional>

namespace tender::server {

// The whole service short of sockets and threads: storage, identity, live delivery, limits and
// every route, so that a request can also be handed to it directly.
class Service {
public:
    // Opens the data directory and what the options choose to stand on, creating what is missing.
    explicit Service(const Options& options);

    // Registers every route; `webBase` is the address that pages and mail link to.
    void addRoutes(std::string webBase);

    const Router& router() const { return router_; }
    // /healthz, /readyz and /metrics for a listener of their own (--metrics-listen).
    const Router& opsRouter() const { return opsRouter_; }
    StreamGate& gate() { return gate_; }
    Hub& hub() { return backends_.hub(); }
    LastSeen& lastSeen() { return lastSeen_; }
    Store& store() { return backends_.store(); }
    Backends& backends() { return backends_; }
    Metrics& metrics() { return metrics_; }
    Readiness& readiness() { return readiness_; }

private:
    Options options_;
    Metrics metrics_;
    Backends backends_;
    IdTokens idTokens_;
    IdentityLimits identityLimits_;
    Throttle inviteGuesses_;
    Outbox outbox_;
    Signals signals_;
    LastSeen lastSeen_;
    Authenticator auth_;
    ApiContext api_;
    StreamGate gate_;
    Readiness readiness_;
    std::optional<IdentityProvider> provider_; // needs the web base
    Router router_;
    Router opsRouter_;
};

}
