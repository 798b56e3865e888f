#include "app/Service.h"
#include "crypto/SecretFile.h"
#include "http/Responses.h"
#include "identity/IdentityRoutes.h"
#include "web/WebRoutes.h"
#include <sodium.h>

namespace tender::server {
namespace {

// Runs before any member is built: the database and the key live in the directory.
std::filesystem::path preparedDataDir(const std::filesystem::path& dir)
{
    if (sodium_init() < 0)
        throw std::runtime_error("libsodium cannot start");
    std::filesystem::create_directories(dir);
    std::filesystem::permissions(dir, std::filesystem::perms::owner_all);
    return dir;
}

}

Service::Service(const Options& options)
    : options_(options)
    , database_(preparedDataDir(options.dataDir) / "tender.db")
    , store_(database_)
    , idTokens_(loadOrCreateSecret(options.dataDir / "signing.key"))
    , outbox_(options.dataDir / "outbox")
    , signals_(store_, hub_)
    , lastSeen_(store_)
    , auth_(store_, idTokens_)
    , api_{store_, hub_, auth_, signals_, lastSeen_, ""}
    , gate_(api_)
{
}

void Service::addRoutes(std::string webBase)
{
    api_.webBase = std::move(webBase);
    provider_.emplace(store_, hub_, idTokens_, throttle_, outbox_, api_.webBase);
    router_.add(http::verb::get, "/healthz",
        [](const RouteContext&) { return jsonResponse(http::status::ok, json::object{{"status", "ok"}}); });
    addIdentityRoutes(router_, *provider_, options_.identityKey);
    addMeRoutes(router_, api_);
    addContactRoutes(router_, api_);
    addEventRoutes(router_, api_);
    addDeviceRoutes(router_, api_);
    gate_.addRoutes(router_);
    addWebRoutes(router_, WebContext{store_, *provider_, api_.webBase, options_.devSignin});
}

}
