#pragma once
#include "load/Deliveries.h"
#include "load/LoadOptions.h"
#include "load/Population.h"
#include "load/Report.h"
#include "load/ServerProcess.h"
#include "load/SignalSender.h"
#include "load/StreamFleet.h"
#include <boost/asio/as_tuple.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/asio/use_awaitable.hpp>

namespace tender::bench {

// What every run shares: the server, the users' streams and the signal sender, whichever server it is.
struct Setup {
    const LoadOptions& options;
    boost::asio::any_io_executor executor;
    const Population& population;
    ServerProcess& server;
    Deliveries& deliveries;
    StreamFleet& fleet;
    SignalSender& sender;
};

// Sleeps in steps of `step` until `done()` or `limit` passes; gives whether `done()` came true.
template <typename Done>
boost::asio::awaitable<bool> waitUntil(boost::asio::any_io_executor executor, Done done, Clock::duration limit,
    Clock::duration step = std::chrono::milliseconds(20))
{
    auto end = Clock::now() + limit;
    boost::asio::steady_timer timer(executor);
    while (!done()) {
        if (Clock::now() >= end)
            co_return false;
        timer.expires_after(step);
        co_await timer.async_wait(boost::asio::as_tuple(boost::asio::use_awaitable));
    }
    co_return true;
}

inline double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// How long after the server went away the streams were back, and how fast they came.
struct Return {
    std::optional<double> to99, toAll;
    double peakUpgradesPerSecond = 0;
};
// Watches the streams come back for `limit`, sampling four times a second.
boost::asio::awaitable<Return> watchReturn(Setup& setup, Clock::time_point from, std::chrono::seconds limit);
std::string secondsOrNever(const std::optional<double>& value);
constexpr auto calmBeforeKill = std::chrono::seconds(2);

// Connects every stream and reports how long it took and what holding them costs the server.
boost::asio::awaitable<bool> connectAll(Setup& setup, Report& report);

boost::asio::awaitable<void> runSpeed(Setup& setup, Report& report);
boost::asio::awaitable<void> runStorm(Setup& setup, Report& report);
boost::asio::awaitable<void> runFairness(Setup& setup, Report& report);
// Several nodes: one of them killed while signals flow, its streams timed back to the others.
boost::asio::awaitable<void> runFailover(Setup& setup, Report& report);

}
