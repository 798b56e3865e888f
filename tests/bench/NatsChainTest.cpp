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

namespace {

const char* natsBinary = "/usr/sbin/nats-server";

struct Chain {
    net::io_context io;
    Deliveries deliveries{2};
    StreamEvents events;
    unsigned ready = 0, lost = 0;
    Population population = Population::listsOnly(4, 2);
};

// Runs `scenario` on the chain's event loop under a watchdog.
void runScenario(Chain& chain, std::function<net::awaitable<void>()> scenario)
{
    bool done = false;
    net::co_spawn(chain.io, scenario(), [&](std::exception_ptr) { done = true, chain.io.stop(); });
    chain.io.run_for(std::chrono::seconds(20));
    ASSERT_TRUE(done) << "the scenario hung";
}

}

// A subscriber and a verbose publisher on a real nats-server: the message arrives, a dead server
// is noticed on both sides, and the subscriber comes back on its own after the restart.
TEST(NatsChain, DeliversNoticesADeadServerAndReconnects)
{
    if (::access(natsBinary, X_OK) != 0)
        GTEST_SKIP() << "nats-server is not installed";
    auto dir = std::filesystem::temp_directory_path() / ("nats-chain-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    NatsServerUnderTest server(natsBinary, dir, -1);
    server.start();
    Chain chain;
    chain.events.ready = [&](unsigned) { ++chain.ready; };
    chain.events.lost = [&](unsigned) { ++chain.lost; };
    auto executor = chain.io.get_executor();
    net::ip::tcp::endpoint endpoint(net::ip::make_address("127.0.0.1"), server.port());
    NatsSubscriber subscriber(executor, endpoint, 1, chain.deliveries, chain.events);
    NatsPublishLink link(executor, endpoint, 0, true);
    const auto& entry = chain.population.lists[0].front(); // user 0 lists user 1
    ASSERT_EQ(entry.target, 1u);

    runScenario(chain, [&]() -> net::awaitable<void> {
        net::co_spawn(executor, subscriber.run(), net::detached);
        co_await waitUntil(executor, [&] { return subscriber.online(); }, std::chrono::seconds(5));
        EXPECT_TRUE(subscriber.online());
        chain.deliveries.sent(1, Clock::now());
        auto outcome = co_await link.send({0, &entry, Clock::now()});
        EXPECT_EQ(outcome, SignalLink::Outcome::accepted);
        co_await waitUntil(executor, [&] { return chain.deliveries.deliveredCount() == 1; }, std::chrono::seconds(5));
        EXPECT_EQ(chain.deliveries.deliveredCount(), 1u);

        server.killHard();
        co_await waitUntil(executor, [&] { return !subscriber.online(); }, std::chrono::seconds(5));
        EXPECT_EQ(chain.lost, 1u);
        auto failed = co_await link.send({0, &entry, Clock::now()});
        EXPECT_EQ(failed, SignalLink::Outcome::failed);

        server.start(); // same port; the subscriber retries after 1 s
        co_await waitUntil(executor, [&] { return subscriber.online(); }, std::chrono::seconds(8));
        EXPECT_EQ(chain.ready, 2u);
        subscriber.stop();
    });
    server.stop();
    std::filesystem::remove_all(dir);
}
