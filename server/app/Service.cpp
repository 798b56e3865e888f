#include "app/Service.h"
#include "common/Time.h"
#include "identity/IdentityRoutes.h"
#include "ops/OpsRoutes.h"
#include "web/WebRoutes.h"
#include <sodium.h>

namespace tender::server {
namespace {

constexpr std::int64_t inviteGuessWindowMs = 10 * 60 * 1000;
constexpr std::int64_t inviteGuessesPerWindow = 20;

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
    , identityLimits_(backends_.counters(), metrics_)
    , inviteGuesses_(backends_.counters(), "invite_guesses", inviteGuessesPerWindow, inviteGuessWindowMs, metrics_)
    , outbox_(options.dataDir / "outbox", options.maxOutbox)
    , signals_(backends_.store(), backends_.hub(), backends_.ledger(), metrics_)
    , lastSeen_(backends_.store())
    , auth_(backends_.store(), idTokens_)
    , api_{backends_.store(), backends_.hub(), auth_, signals_, lastSeen_, inviteGuesses_, ""}
    , gate_(api_, backends_.storeWork(), options.maxStreamsPerUser, options.maxStreamsPerDevice, metrics_)
{
    for (auto& check : backends_.readiness())
        readiness_.add(check.name, check.passes);
    readiness_.refresh(nowMs());
}

void Service::addRoutes(std::string webBase)
{
    auto& store = backends_.store();
    api_.webBase = std::move(webBase);
    provider_.emplace(store, backends_.hub(), idTokens_, identityLimits_, outbox_, api_.webBase);
    bool opsApart = !options_.metricsHost.empty();
    addOpsRoutes(router_, readiness_, metrics_, !opsApart);
    if (opsApart)
        addOpsRoutes(opsRouter_, readiness_, metrics_, true);
    addIdentityRoutes(router_, *provider_, options_.identityKey, metrics_);
    addMeRoutes(router_, api_);
    addContactRoutes(router_, api_);
    addEventRoutes(router_, api_);
    addDeviceRoutes(router_, api_);
    gate_.addRoutes(router_);
    addWebRoutes(router_, WebContext{store, *provider_, api_.webBase, options_.devSignin, metrics_, inviteGuesses_});
}

}
