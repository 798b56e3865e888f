#include "load/Setup.h"
#include "load/StreamClient.h"
#include <boost/asio/co_spawn.hpp>

namespace tender::bench {
namespace {

constexpr unsigned slowUser = 0;
constexpr unsigned silentUser = 1;
constexpr auto floodAfter = std::chrono::seconds(5);
constexpr auto floodAgainAfter = std::chrono::seconds(12); // longer than the server lets a frame wait
constexpr auto holdAfterThat = std::chrono::seconds(8);
constexpr unsigned burstPerSender = 30; // what the server lets one person send another at once
constexpr double silenceSeconds = 75;

boost::asio::awaitable<void> pause(Setup& setup, Clock::duration length)
{
    co_await waitUntil(setup.executor, [] { return false; }, length);
}

}

// Signals flow as in the speed run while one stream stops reading and is flooded by everyone
// who lists it, and another never pings. The slow one must be closed without the others' latency
// suffering; the silent one must be closed after 75 s.
boost::asio::awaitable<void> runFairness(Setup& setup, Report& report)
{
    const auto& o = setup.options;
    auto& slow = dynamic_cast<StreamClient&>(setup.fleet.client(slowUser));
    auto& silent = dynamic_cast<StreamClient&>(setup.fleet.client(silentUser));
    if (!o.control)
        slow.holdReading();
    setup.deliveries.setApart(slowUser);
    silent.keepSilent();
    if (!co_await connectAll(setup, report))
        co_return;

    bool sent = false;
    boost::asio::co_spawn(setup.executor, setup.sender.run(o.rate, std::chrono::seconds(o.seconds)),
        [&](std::exception_ptr) { sent = true; });
    co_await pause(setup, floodAfter);
    auto flooded = setup.sender.flood(slowUser, burstPerSender);
    co_await pause(setup, floodAgainAfter);
    flooded += setup.sender.flood(slowUser, burstPerSender / 2);
    co_await pause(setup, holdAfterThat);
    slow.resumeReading();
    co_await waitUntil(setup.executor, [&] { return sent; }, std::chrono::seconds(o.seconds + 60));
    co_await waitUntil(setup.executor, [&] { return silent.firstConnectionSeconds().has_value(); },
        std::chrono::seconds(90));

    auto slowClosed = slow.firstConnectionSeconds();
    auto read = std::to_string(setup.deliveries.deliveredApart()) + " frames read by the end";
    if (o.control)
        report.add("control: flooded reader that keeps reading (" + std::to_string(flooded) + " signals in two bursts)",
            (slowClosed ? "closed; " : "open; ") + read);
    else
        report.add("slow reader (stops reading, " + std::to_string(flooded) + " signals sent to it in two bursts)",
            (slowClosed ? "closed by the server; " : "still open; ") + read, "closed", slowClosed.has_value());
    report.addLatency(setup.deliveries);
    auto silentClosed = silent.firstConnectionSeconds();
    report.add("stream that never pings closed after", silentClosed ? fixed(*silentClosed, 1) + " s" : "not closed",
        "75 s", silentClosed && *silentClosed >= silenceSeconds - 1 && *silentClosed <= silenceSeconds + 2);
}

}
