#include "app/Backends.h"
#include "api/MemoryAnyoneLedger.h"
#include "bus/NatsHub.h"
#include "common/Log.h"
#include "common/Random.h"
#include "crypto/SecretFile.h"
#include "hub/LocalHub.h"
#include "limits/MemoryCounters.h"
#include "postgres/PgAnyoneLedger.h"
#include "postgres/PgCounters.h"
#include "postgres/PgPresence.h"
#include "postgres/PgSigningKey.h"
#include "postgres/PgStore.h"
#include "store/CachedStore.h"
#include "store/SqliteStore.h"

namespace tender::server {

namespace {

// Past this many requests waiting for the database, more are answered 503 at once.
constexpr std::size_t maxWaitingForDatabase = 4096;
// Connections beyond the request threads: password hashing, the last-seen flush, the bus's worker.
constexpr unsigned spareConnections = 4;

// For the log and messages: no password, whether before the host or among the parameters.
std::string withoutPassword(const std::string& given)
{
    auto url = given.substr(0, given.find('?'));
    auto scheme = url.find("://");
    auto at = url.rfind('@');
    if (scheme == std::string::npos || at == std::string::npos || at < scheme)
        return url;
    auto colon = url.find(':', scheme + 3);
    return colon != std::string::npos && colon < at ? url.substr(0, colon) + ":***" + url.substr(at) : url;
}

}

Backends::Backends(const Options& options)
{
    if (options.onPostgres())
        openPostgres(options);
    else
        openSqlite(options);
    if (!options.signingKey.empty())
        signingKey_ = loadOrCreateSecret(options.signingKey);
    else if (pool_)
        signingKey_ = sharedSigningKey(*pool_);
    else
        signingKey_ = loadOrCreateSecret(options.dataDir / "signing.key");
}

Backends::~Backends() = default;

void Backends::openSqlite(const Options& options)
{
    database_ = std::make_unique<SqliteStore>(options.dataDir / "tender.db");
    cached_ = std::make_unique<CachedStore>(*database_);
    store_ = cached_.get();
    hub_ = std::make_unique<LocalHub>();
    ledger_ = std::make_unique<MemoryAnyoneLedger>();
    counters_ = std::make_unique<MemoryCounters>();
    description_ = "data " + options.dataDir.string();
}

// No copy of the lists or users is kept in memory here: another node may change them at any
// moment, and a removal must hold everywhere at once.
void Backends::openPostgres(const Options& options)
{
    auto threads = options.databaseConnections;
    try {
        pool_ = std::make_unique<PgPool>(options.database, threads + spareConnections);
    } catch (const std::exception& error) {
        throw std::runtime_error(std::string(error.what()) + " (" + withoutPassword(options.database) + ")");
    }
    database_ = std::make_unique<PgStore>(*pool_);
    store_ = database_.get();
    ledger_ = std::make_unique<PgAnyoneLedger>(*pool_);
    counters_ = std::make_unique<PgCounters>(*pool_);
    storeThreads_ = std::make_unique<boost::asio::thread_pool>(threads);
    storeWork_ = std::make_unique<BlockingWork>(storeThreads_->get_executor(), maxWaitingForDatabase);
    description_ = "database " + withoutPassword(options.database);
    if (options.bus.empty()) {
        hub_ = std::make_unique<LocalHub>();
        return;
    }
    presence_ = std::make_unique<PgPresence>(*pool_, randomId(16));
    auto nats = std::make_unique<NatsHub>(options.bus, *presence_);
    busUp_ = [hub = nats.get()] { return hub->busConnected(); };
    hub_ = std::move(nats);
    description_ += ", bus " + options.bus;
}

std::vector<ReadinessCheck> Backends::readiness()
{
    std::vector<ReadinessCheck> checks;
    checks.push_back({"database", [store = store_] { return store->reachable(); }});
    if (busUp_)
        checks.push_back({"bus", busUp_});
    return checks;
}

void Backends::prepare()
{
    if (!cached_)
        return;
    auto started = std::chrono::steady_clock::now();
    try {
        cached_->warmLists();
    } catch (const std::exception& error) {
        logLine(std::string("lists not read ahead: ") + error.what());
        return;
    }
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
    logLine("lists read ahead in " + std::to_string(ms.count()) + " ms");
}

void Backends::finish()
{
    if (storeThreads_)
        storeThreads_->join();
}

std::string Backends::describe() const
{
    return description_;
}

}
