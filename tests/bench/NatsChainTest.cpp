#include "load/Setup.h"
#include "load/nats/NatsPublishLink.h"
#include "load/nats/NatsServerUnderTest.h"
#include "load/nats/NatsSubscriber.h"
#include <boost/asio/co_spawn.hpp>
#include <boost/asio/detached.hpp>
#include <boost/asio/io_context.hpp>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace tender::bench;
namespace net = boost::asio;

// A subscriber and a verbose publisher on a real nats-server: the message arrives, a dead server
// is noticed on both sides, and the subscriber comes back on its own after the restart.
TEST(NatsChain, DeliversNoticesADeadServerAndReconnects)
{
    const char* natsBinary = "/usr/sbin/nats-server";
    if (::access(natsBinary, X_OK) != 0)
        GTEST_SKIP() << "nats-server is not installed";
    auto dir = std::filesystem::temp_directory_path() / ("nats-chain-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    NatsServerUnderTest server(natsBinary, dir, -1);
    server.start();
    net::io_context io;
    Deliveries deliveries(2);
    StreamEvents events;
    unsigned ready = 0, lost = 0;
    events.ready = [&](unsigned) { ++ready; };
    events.lost = [&](unsigned) { ++lost; };
    auto population = Population::listsOnly(4, 2);
    const auto& entry = population.lists[0].front(); // user 0 lists user 1
    ASSERT_EQ(entry.target, 1u);
    auto executor = io.get_executor();
    net::ip::tcp::endpoint endpoint(net::ip::make_address("127.0.0.1"), server.port());
    NatsSubscriber subscriber(executor, endpoint, 1, deliveries, events);
    NatsPublishLink link(executor, endpoint, 0, true);
    auto within = [&](auto done, int seconds) {
        return waitUntil(executor, done, std::chrono::seconds(seconds));
    };

    bool finished = false;
    net::co_spawn(io, [&]() -> net::awaitable<void> {
        net::co_spawn(executor, subscriber.run(), net::detached);
        bool online = co_await within([&] { return subscriber.online(); }, 5);
        EXPECT_TRUE(online);
        deliveries.sent(1, Clock::now());
        auto outcome = co_await link.send({0, &entry, Clock::now()});
        EXPECT_EQ(outcome, SignalLink::Outcome::accepted);
        bool delivered = co_await within([&] { return deliveries.deliveredCount() == 1; }, 5);
        EXPECT_TRUE(delivered);

        server.killHard();
        bool noticed = co_await within([&] { return !subscriber.online(); }, 5);
        EXPECT_TRUE(noticed);
        EXPECT_EQ(lost, 1u);
        outcome = co_await link.send({0, &entry, Clock::now()});
        EXPECT_EQ(outcome, SignalLink::Outcome::failed);

        server.start(); // same port; the subscriber retries after 1 s
        co_await within([&] { return subscriber.online(); }, 8);
        EXPECT_EQ(ready, 2u);
        subscriber.stop();
    }, [&](std::exception_ptr) { finished = true, io.stop(); });
    io.run_for(std::chrono::seconds(20));
    EXPECT_TRUE(finished) << "the scenario hung";
    server.stop();
    std::filesystem::remove_all(dir);
}
