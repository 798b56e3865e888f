#include "app/Service.h"
#include "app/Readiness.h"
#include "http/Responses.h"
#include "identity/IdentityRoutes.h"
#include "web/WebRoutes.h"
#include <sodium.h>

namespace tender::server {
namespace {

// Runs before any member is built: the database, the key and the outbox may live in the directory.
const Options& preparedDataDir(const Options& options)
{
    if (sodium_init() < 0)
        throw std::runtime_error("libsodium cannot start");
    std::filesystem::create_directories(options.dataDir);
    std::filesystem::permissions(options.dataDir, std::filesystem::perms::owner_all);
    return options;
}

}

Service::Service(const Options& options)
    : options_(options)
    , backends_(preparedDataDir(options))
    , idTokens_(backends_.signingKey())
    , outbox_(options.dataDir / "outbox")
    , signals_(backends_.store(), backends_.hub(), backends_.ledger())
    , lastSeen_(backends_.store())
    , auth_(backends_.store(), idTokens_)
    , api_{backends_.store(), backends_.hub(), auth_, signals_, lastSeen_, ""}
    , gate_(api_, backends_.storeWork())
{
}

void Service::addRoutes(std::string webBase)
{
    auto& store = backends_.store();
    api_.webBase = std::move(webBase);
    provider_.emplace(store, backends_.hub(), idTokens_, backends_.throttle(), outbox_, api_.webBase);
    router_.add(http::verb::get, "/healthz",
        [](const RouteContext&) { return jsonResponse(http::status::ok, json::object{{"status", "ok"}}); },
        Router::Cost::instant);
    addReadinessRoute(router_, backends_.readiness());
    addIdentityRoutes(router_, *provider_, options_.identityKey);
    addMeRoutes(router_, api_);
    addContactRoutes(router_, api_);
    addEventRoutes(router_, api_);
    addDeviceRoutes(router_, api_);
    gate_.addRoutes(router_);
    addWebRoutes(router_, WebContext{store, *provider_, api_.webBase, options_.devSignin});
}

}
