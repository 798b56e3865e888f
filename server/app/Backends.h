#pragma once
#include "api/AnyoneLedger.h"
#include "app/Options.h"
#include "hub/Hub.h"
#include "http/BlockingWork.h"
#include "limits/Counters.h"
#include "store/Store.h"
#include <boost/asio/thread_pool.hpp>
#include <functional>
#include <memory>

namespace tender::server {

class CachedStore;
class PgPool;
class PgPresence;

struct ReadinessCheck {
    std::string name;
    std::function<bool()> passes;
};

// What the options choose the service to stand on: by default a SQLite file and this process's
// memory; with --database and --bus, PostgreSQL and NATS shared with other nodes. Opening them is
// checked at once, so a database or bus that cannot be reached stops the start with its reason.
class Backends {
public:
    explicit Backends(const Options& options);
    ~Backends();

    Store& store() { return *store_; }
    Hub& hub() { return *hub_; }
    AnyoneLedger& ledger() { return *ledger_; }
    // What the throttles count: in this process, or in the shared database.
    Counters& counters() { return *counters_; }
    const std::string& signingKey() const { return signingKey_; }
    // Where requests wait on a database over the network; null for SQLite, which answers in place.
    BlockingWork* storeWork() { return storeWork_.get(); }
    std::vector<ReadinessCheck> readiness();
    // Reads ahead what the first requests would read, where it pays (SQLite's lists).
    void prepare();
    // Joins the threads of database work, once the event loop stopped.
    void finish();
    std::string describe() const;

private:
    void openSqlite(const Options& options);
    void openPostgres(const Options& options);

    std::unique_ptr<Store> database_;
    std::unique_ptr<CachedStore> cached_;
    std::unique_ptr<PgPool> pool_;
    std::unique_ptr<PgPresence> presence_;
    Store* store_ = nullptr;
    std::unique_ptr<Hub> hub_;
    std::unique_ptr<AnyoneLedger> ledger_;
    std::unique_ptr<Counters> counters_;
    std::string signingKey_;
    std::unique_ptr<boost::asio::thread_pool> storeThreads_;
    std::unique_ptr<BlockingWork> storeWork_;
    std::function<bool()> busUp_;
    std::string description_;
};

}
