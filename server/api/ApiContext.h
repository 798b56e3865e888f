#pragma once
#include "api/Authenticator.h"
#include "api/LastSeen.h"
#include "api/Signals.h"
#include "hub/Hub.h"
#include "http/Router.h"
#include "limits/Throttle.h"
#include "store/Store.h"
#include <string>

namespace tender::server {

// What the REST routes work with.
struct ApiContext {
    Store& store;
    Hub& hub;
    const Authenticator& auth;
    Signals& signals;
    LastSeen& lastSeen;
    Throttle& inviteGuesses; // codes that named nobody, per client and per user
    std::string webBase;
};

constexpr std::size_t maxContacts = 200;
constexpr std::size_t maxDevices = 10;
constexpr std::size_t maxNameLength = 64;

void addMeRoutes(Router& router, ApiContext& api);
void addContactRoutes(Router& router, ApiContext& api);
void addEventRoutes(Router& router, ApiContext& api);
void addDeviceRoutes(Router& router, ApiContext& api);

}
