#pragma once
#include "http/Router.h"
#include "identity/IdentityProvider.h"

namespace tender::server {

// The Identity Toolkit and Secure Token calls, answered with the fields and error shape
// the app's Auth reads.
void addIdentityRoutes(Router& router, IdentityProvider& provider, std::string identityKey);

}
