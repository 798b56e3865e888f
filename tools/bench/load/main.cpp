#include "load/HttpSignalLink.h"
#include "load/ServerUnderTest.h"
#include "load/Setup.h"
#include "load/StreamClient.h"
#include "load/nats/NatsPublishLink.h"
#include "load/nats/NatsServerUnderTest.h"
#include "load/nats/NatsSubscriber.h"
#include <boost/asio/co_spawn.hpp>
#include <boost/asio/io_context.hpp>
#include <iostream>
#include <sched.h>
#include <sys/resource.h>

using namespace tender::bench;
namespace net = boost::asio;

namespace {

// Streams need descriptors: take everything the hard limit allows (the server inherits it).
void raiseDescriptorLimit()
{
    rlimit limit{};
    ::getrlimit(RLIMIT_NOFILE, &limit);
    limit.rlim_cur = limit.rlim_max;
    ::setrlimit(RLIMIT_NOFILE, &limit);
}

void pinTo(int cpu)
{
    if (cpu < 0)
        return;
    cpu_set_t set;
    CPU_ZERO(&set);
    CPU_SET(cpu, &set);
    ::sched_setaffinity(0, sizeof set, &set);
}

std::filesystem::path freshDataDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "tender-load-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a data directory");
    return pattern;
}

bool againstNats(const LoadOptions& o)
{
    return o.against == LoadOptions::Against::nats;
}

std::unique_ptr<ServerProcess> makeServer(const LoadOptions& o, const std::filesystem::path& dataDir)
{
    if (againstNats(o))
        return std::make_unique<NatsServerUnderTest>(o.natsBinary, dataDir, o.serverCpu);
    return std::make_unique<ServerUnderTest>(o.serverBinary, dataDir, o.serverThreads, o.serverCpu);
}

int run(const LoadOptions& o)
{
    raiseDescriptorLimit();
    pinTo(o.clientCpu);
    auto dataDir = freshDataDir();
    auto population = againstNats(o) ? Population::listsOnly(o.users, o.contactsPerUser)
                                     : Population::prepare(dataDir, o.users, o.contactsPerUser);
    auto server = makeServer(o, dataDir);
    server->start();
    std::cout << (againstNats(o) ? "nats-server (WebSocket)" : "tender-server") << " pid " << server->pid()
              << " on 127.0.0.1:" << server->port() << "; " << o.users << " users, " << o.contactsPerUser
              << " contacts each" << std::endl;

    net::io_context io(1);
    auto executor = io.get_executor();
    net::ip::tcp::endpoint endpoint(net::ip::make_address("127.0.0.1"), server->port());
    Deliveries deliveries(o.users);
    auto makeSubscriber = [&](unsigned i, const StreamEvents& events) -> std::unique_ptr<Subscriber> {
        if (againstNats(o))
            return std::make_unique<NatsSubscriber>(executor, endpoint, i, deliveries, events);
        return std::make_unique<StreamClient>(executor, endpoint, population.tokens[i], i, deliveries, events);
    };
    StreamFleet fleet(executor, o.users, makeSubscriber, o.pingSeconds);
    unsigned links = 0;
    auto makeLink = [&]() -> std::unique_ptr<SignalLink> {
        if (againstNats(o))
            return std::make_unique<NatsPublishLink>(executor, endpoint, links++, o.natsVerbose);
        return std::make_unique<HttpSignalLink>(executor, endpoint, population);
    };
    SignalSender sender(executor, population, [&fleet](unsigned i) { return fleet.online(i); }, deliveries,
        o.httpConnections, makeLink);
    Setup setup{o, executor, population, *server, deliveries, fleet, sender};
    Report report;
    bool finished = false;
    auto scenario = o.mode == LoadOptions::Mode::storm ? runStorm(setup, report)
        : o.mode == LoadOptions::Mode::fairness        ? runFairness(setup, report)
                                                       : runSpeed(setup, report);
    net::co_spawn(io, std::move(scenario), [&](std::exception_ptr failure) {
        finished = failure == nullptr;
        fleet.stop();
        io.stop();
    });
    io.run();
    report.print();
    server->stop();
    std::filesystem::remove_all(dataDir);
    if (!finished)
        std::cerr << "the run failed\n";
    return finished && deliveries.deliveredCount() + (o.rate == 0 ? 1 : 0) > 0 ? 0 : 1;
}

}

int main(int argc, char** argv)
{
    auto parsed = parseLoadOptions({argv + 1, argv + argc});
    if (!parsed.options) {
        std::cerr << parsed.message;
        return 2;
    }
    try {
        return run(*parsed.options);
    } catch (const std::exception& e) {
        std::cerr << "tender-load: " << e.what() << "\n";
        return 1;
    }
}
