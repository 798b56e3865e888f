#pragma once
#include "http/Router.h"
#include "identity/IdentityProvider.h"
#include "ops/Metrics.h"
#include "limits/Throttle.h"
#include "store/Store.h"

namespace tender::server {

struct WebContext {
    Store& store;
    IdentityProvider& provider;
    std::string webBase;
    bool devSignin;
    Metrics& metrics;
    Throttle& inviteGuesses; // per client: codes that named nobody
};

// The product web site's pages: sign-in (with a password; without one for development), a forgotten
// password, invite links, device docs, password reset.
void addWebRoutes(Router& router, WebContext web);

void addSigninPage(Router& router, const WebContext& web);
void addInvitePage(Router& router, const WebContext& web);
void addDocsPage(Router& router, const WebContext& web);
void addResetPage(Router& router, const WebContext& web);
void addForgotPage(Router& router, const WebContext& web);

}
