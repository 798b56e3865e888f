#pragma once
#include "load/Deliveries.h"
#include "load/Population.h"
#include "load/SignalLink.h"
#include <boost/asio/awaitable.hpp>
#include <boost/asio/steady_timer.hpp>
#include <deque>
#include <functional>
#include <memory>
#include <random>

namespace tender::bench {

// Offers signals at a fixed rate (open loop): each is due at start + i / rate whether or not the
// server kept up, and goes out on the next free keep-alive link. Senders and recipients are
// random people who list each other; only online recipients are chosen.
class SignalSender {
public:
    using MakeLink = std::function<std::unique_ptr<SignalLink>()>;
    using Online = std::function<bool(unsigned)>;
    SignalSender(boost::asio::any_io_executor executor, const Population& population, Online online,
        Deliveries& deliveries, unsigned connections, const MakeLink& makeLink);
    ~SignalSender();

    // Offers signals for `duration`, then waits for every answer.
    boost::asio::awaitable<void> run(double rate, std::chrono::milliseconds duration);

    // While run() offers: signals from everyone who lists `recipient`, `perSender` each, due now.
    unsigned flood(unsigned recipient, unsigned perSender);

    std::uint64_t offered() const { return offered_; }
    std::uint64_t backlogDropped() const { return backlogDropped_; }

private:
    struct Worker;
    boost::asio::awaitable<void> offer(double rate, std::chrono::milliseconds duration);
    boost::asio::awaitable<void> work(Worker& worker);
    std::optional<Signal> pick(Clock::time_point due);
    void wakeOne();

    boost::asio::any_io_executor executor_;
    const Population& population_;
    Online online_;
    Deliveries& deliveries_;
    std::vector<std::unique_ptr<Worker>> workers_;
    std::deque<Signal> queue_;
    std::mt19937_64 random_{20261206};
    std::uint64_t offered_ = 0;
    std::uint64_t backlogDropped_ = 0;
    unsigned running_ = 0;
    bool offering_ = false;
};

}
