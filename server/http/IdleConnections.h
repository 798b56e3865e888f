#pragma once
#include <boost/asio/any_io_executor.hpp>
#include <boost/beast/core/tcp_stream.hpp>
#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>

namespace tender::server {

// What a connection shares with the registry: whether it waits for a request, and where to close it.
struct IdleWatch {
    explicit IdleWatch(boost::asio::any_io_executor e) : executor(std::move(e)) {}
    boost::asio::any_io_executor executor;
    boost::beast::tcp_stream* stream = nullptr; // touched only on `executor`, while the connection runs
    std::atomic<bool> idle{true};
    std::atomic<bool> evicted{false};
};

// Plain HTTP connections, oldest first, so that a full server can close the oldest one that sits
// waiting for a request rather than turn a new caller away. Streams are not here: they are not idle.
class IdleConnections {
public:
    class Entry;
    Entry add(const std::shared_ptr<IdleWatch>& watch);
    // Closes the oldest connection that waits for a request; false when none does.
    bool closeOldest();

private:
    std::mutex mutex_;
    std::uint64_t next_ = 0;
    std::map<std::uint64_t, std::weak_ptr<IdleWatch>> entries_;
};

// Leaves the registry when it goes.
class IdleConnections::Entry {
public:
    Entry(IdleConnections* owner, std::uint64_t id) : owner_(owner), id_(id) {}
    Entry(Entry&& other) noexcept : owner_(std::exchange(other.owner_, nullptr)), id_(other.id_) {}
    Entry(const Entry&) = delete;
    Entry& operator=(const Entry&) = delete;
    ~Entry();

private:
    IdleConnections* owner_;
    std::uint64_t id_;
};

}
