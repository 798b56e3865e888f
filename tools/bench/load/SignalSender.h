#pragma once
#include "load/Deliveries.h"
#include "load/Population.h"
#include "load/StreamFleet.h"
#include <boost/asio/awaitable.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/steady_timer.hpp>
#include <deque>
#include <random>

namespace tender::bench {

// Offers signals at a fixed rate (open loop): each is due at start + i / rate whether or not the
// server kept up, and goes out on the next free keep-alive connection. Senders and recipients
// are random people who list each other; only online recipients are chosen.
class SignalSender {
public:
    SignalSender(boost::asio::any_io_executor executor, boost::asio::ip::tcp::endpoint server,
        const Population& population, const StreamFleet& fleet, Deliveries& deliveries, unsigned connections);
    ~SignalSender();

    // Offers signals for `duration`, then waits for every answer.
    boost::asio::awaitable<void> run(double rate, std::chrono::milliseconds duration);

    // While run() offers: signals from everyone who lists `recipient`, `perSender` each, due now.
    unsigned flood(unsigned recipient, unsigned perSender);

    std::uint64_t offered() const { return offered_; }
    std::uint64_t backlogDropped() const { return backlogDropped_; }

private:
    struct Job {
        unsigned sender;
        const Listed* entry;
        Clock::time_point due;
    };
    struct Worker;
    boost::asio::awaitable<void> offer(double rate, std::chrono::milliseconds duration);
    boost::asio::awaitable<void> work(Worker& worker);
    std::optional<Job> pick(Clock::time_point due);
    void wakeOne();

    boost::asio::any_io_executor executor_;
    boost::asio::ip::tcp::endpoint server_;
    const Population& population_;
    const StreamFleet& fleet_;
    Deliveries& deliveries_;
    std::vector<std::unique_ptr<Worker>> workers_;
    std::deque<Job> queue_;
    std::mt19937_64 random_{20261206};
    std::uint64_t offered_ = 0;
    std::uint64_t backlogDropped_ = 0;
    unsigned running_ = 0;
    bool offering_ = false;
};

}
