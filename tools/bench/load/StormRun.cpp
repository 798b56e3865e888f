#include "load/ProcessProbe.h"
#include "load/Setup.h"
#include <atomic>
#include <boost/asio/co_spawn.hpp>
#include <boost/asio/detached.hpp>
#include <deque>
#include <iostream>
#include <thread>

namespace tender::bench {
namespace {

constexpr auto sample = std::chrono::milliseconds(250);

// Restarts the server off the event loop, so the streams' timers keep their time meanwhile.
boost::asio::awaitable<bool> restart(Setup& setup)
{
    std::atomic<int> outcome{0};
    std::thread starter([&] {
        try {
            setup.server.start();
            outcome = 1;
        } catch (const std::exception&) {
            outcome = -1;
        }
    });
    co_await waitUntil(setup.executor, [&] { return outcome != 0; }, std::chrono::seconds(40), std::chrono::milliseconds(5));
    starter.join();
    co_return outcome == 1;
}

}

boost::asio::awaitable<Return> watchReturn(Setup& setup, Clock::time_point from, std::chrono::seconds limit)
{
    Return seen;
    auto users = setup.fleet.size();
    std::deque<std::uint64_t> window{setup.fleet.readyCount()};
    boost::asio::steady_timer timer(setup.executor);
    while (Clock::now() - from < limit) {
        timer.expires_after(sample);
        co_await timer.async_wait(boost::asio::as_tuple(boost::asio::use_awaitable));
        window.push_back(setup.fleet.readyCount());
        if (window.size() > 5)
            window.pop_front();
        seen.peakUpgradesPerSecond = std::max(seen.peakUpgradesPerSecond,
            static_cast<double>(window.back() - window.front()) * 1000.0 / (sample.count() * (window.size() - 1)));
        auto online = setup.fleet.onlineCount();
        if (window.size() == 5 && (window.back() != window[3] || online == 0))
            std::cerr << fixed(secondsSince(from), 2) << " s after restart: " << online << " online\n";
        if (!seen.to99 && online * 100 >= users * 99)
            seen.to99 = secondsSince(from);
        if (!seen.toAll && online == users)
            seen.toAll = secondsSince(from);
    }
    co_return seen;
}

std::string secondsOrNever(const std::optional<double>& value)
{
    return value ? fixed(*value, 1) + " s" : "not within the run";
}

boost::asio::awaitable<void> runStorm(Setup& setup, Report& report)
{
    const auto& o = setup.options;
    if (!co_await connectAll(setup, report))
        co_return;
    auto rssBefore = residentBytes(setup.server.pid());
    bool sending = o.rate > 0;
    auto sendFor = calmBeforeKill + std::chrono::seconds(o.downSeconds + o.seconds);
    bool sent = !sending;
    if (sending)
        boost::asio::co_spawn(setup.executor, setup.sender.run(o.rate, sendFor), [&](std::exception_ptr) { sent = true; });
    co_await waitUntil(setup.executor, [] { return false; }, calmBeforeKill);

    auto killed = Clock::now();
    setup.server.killHard();
    co_await waitUntil(setup.executor, [] { return false; }, std::chrono::seconds(o.downSeconds));
    if (!co_await restart(setup)) {
        report.add("restart", "the server did not come back");
        co_return;
    }
    auto up = Clock::now();
    auto seen = co_await watchReturn(setup, up, std::chrono::seconds(o.seconds));
    co_await waitUntil(setup.executor, [&] { return sent; }, std::chrono::seconds(30));
    auto rssAfter = residentBytes(setup.server.pid());
    auto downFor = std::chrono::duration<double>(up - killed).count();

    report.add("server down (kill -9 to listening again)", fixed(downFor, 1) + " s");
    report.add("99 % of streams back, from restart", secondsOrNever(seen.to99), "<= 15 s",
        seen.to99 && *seen.to99 <= 15);
    report.add("all streams back, from restart", secondsOrNever(seen.toAll));
    report.add("peak authenticated upgrades per second", fixed(seen.peakUpgradesPerSecond, 0), ">= 5000",
        seen.peakUpgradesPerSecond >= 5000);
    auto rssChange = 100.0 * (static_cast<double>(rssAfter) - static_cast<double>(rssBefore)) / static_cast<double>(rssBefore);
    report.add("server RSS before kill / after return", mebibytes(rssBefore) + " / " + mebibytes(rssAfter),
        "within 10 %", std::abs(rssChange) <= 10);
    if (sending)
        report.addLatency(setup.deliveries);
}

}
