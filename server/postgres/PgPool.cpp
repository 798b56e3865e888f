#include "postgres/PgPool.h"
#include <cstdlib>

namespace tender::server {

PgPool::PgPool(std::string url, unsigned size)
    : url_(std::move(url))
    , size_(size)
{
    ::setenv("PGCONNECT_TIMEOUT", "5", 0); // a database that does not answer is reported, not waited for
    idle_.push_back(std::make_unique<PgConnection>(url_));
    open_ = 1;
}

std::unique_ptr<PgConnection> PgPool::take()
{
    std::unique_lock lock(mutex_);
    if (!freed_.wait_for(lock, leaseWait, [&] { return !idle_.empty() || open_ < size_; }))
        throw DatabaseUnavailable("every database connection is busy");
    if (!idle_.empty()) {
        auto connection = std::move(idle_.back());
        idle_.pop_back();
        return connection;
    }
    ++open_;
    lock.unlock();
    try {
        return std::make_unique<PgConnection>(url_);
    } catch (...) {
        std::lock_guard relock(mutex_);
        --open_;
        freed_.notify_one();
        throw;
    }
}

void PgPool::give(std::unique_ptr<PgConnection> connection)
{
    std::lock_guard lock(mutex_);
    idle_.push_back(std::move(connection));
    freed_.notify_one();
}

PgPool::Lease::Lease(PgPool& pool)
    : pool_(pool)
    , connection_(pool.take())
{
    try {
        if (connection_->broken())
            renew();
    } catch (...) {
        pool_.give(std::move(connection_));
        throw;
    }
    connection_->resetSent();
}

PgPool::Lease::~Lease()
{
    pool_.give(std::move(connection_));
}

void PgPool::Lease::renew()
{
    connection_->reconnect();
    connection_->resetSent();
}

bool PgPool::reachable()
{
    try {
        run([](PgConnection& db) { return db.exec("SELECT 1"); });
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

}
