#pragma once
#include "postgres/PgConnection.h"
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

namespace tender::server {

// A bounded set of connections shared by the threads that do database work. A caller waits a
// while for a free one; a connection found lost is opened again, and work whose first statement
// met a lost connection is tried once more on a fresh one, so a database restart costs no request.
class PgPool {
public:
    static constexpr auto leaseWait = std::chrono::seconds(5);

    // Opens the first connection at once: a wrong address or password fails here, at start.
    PgPool(std::string url, unsigned size);

    template <typename Work>
    auto run(Work work)
    {
        Lease lease(*this);
        try {
            return work(lease.connection());
        } catch (const DatabaseUnavailable&) {
            if (lease.connection().sent() != 1)
                throw;
        }
        lease.renew();
        return work(lease.connection());
    }

    // Whether a trivial statement goes through now.
    bool reachable();
    const std::string& url() const { return url_; }

private:
    class Lease {
    public:
        explicit Lease(PgPool& pool);
        ~Lease();
        PgConnection& connection() { return *connection_; }
        void renew();

    private:
        PgPool& pool_;
        std::unique_ptr<PgConnection> connection_;
    };

    std::unique_ptr<PgConnection> take();
    void give(std::unique_ptr<PgConnection> connection);

    std::string url_;
    unsigned size_;
    std::mutex mutex_;
    std::condition_variable freed_;
    std::vector<std::unique_ptr<PgConnection>> idle_;
    unsigned open_ = 0;
};

}
