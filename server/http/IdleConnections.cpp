#include "http/IdleConnections.h"
#include <boost/asio/post.hpp>

namespace tender::server {

IdleConnections::Entry IdleConnections::add(const std::shared_ptr<IdleWatch>& watch)
{
    std::lock_guard lock(mutex_);
    entries_.emplace(next_, watch);
    return Entry(this, next_++);
}

bool IdleConnections::closeOldest()
{
    std::shared_ptr<IdleWatch> chosen;
    {
        std::lock_guard lock(mutex_);
        for (auto it = entries_.begin(); it != entries_.end() && !chosen;) {
            auto watch = it->second.lock();
            if (watch && !watch->idle.load()) {
                ++it;
                continue;
            }
            it = entries_.erase(it);
            if (watch && !watch->evicted.exchange(true))
                chosen = std::move(watch);
        }
    }
    if (!chosen)
        return false;
    // A connection that has not started yet sees `evicted` at its first wait.
    boost::asio::post(chosen->executor, [chosen] {
        if (chosen->stream && chosen->idle.load()) {
            boost::beast::error_code ignored;
            chosen->stream->socket().close(ignored);
        }
    });
    return true;
}

IdleConnections::Entry::~Entry()
{
    if (!owner_)
        return;
    std::lock_guard lock(owner_->mutex_);
    owner_->entries_.erase(id_);
}

}
