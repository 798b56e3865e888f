#pragma once
#include "http/Router.h"
#include "identity/IdentityProvider.h"
#include "ops/Metrics.h"

namespace tender::server {

// The Identity Toolkit and Secure Token calls, answered with the fields and error shape
// the app's Auth reads.
void addIdentityRoutes(Router& router, IdentityProvider& provider, std::string identityKey, Metrics& metrics);

// Counts one identity call by its outcome: the error's code (up to its first space), or OK when `error`
// is empty. Codes are a small fixed set.
void countIdentityOutcome(Metrics& metrics, const std::string& call, const std::string& error);

}
