#include "load/HttpSignalLink.h"
#include "load/ServerUnderTest.h"
#include "load/Setup.h"
#include "load/StreamClient.h"
#include "load/cluster/ClusterUnderTest.h"
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

struct Measured {
    Report report;
    bool ok = false;
    std::int64_t p99Micros = 0;
};

// Holds the streams and runs the chosen scenario against a server that is already up.
Measured measure(const LoadOptions& o, ServerProcess& server, const Population& population)
{
    std::cout << (againstNats(o) ? "nats-server (WebSocket)" : o.cluster ? "two tender-server nodes behind HAProxy"
                                                                          : "tender-server")
              << " pid " << server.pid() << " on 127.0.0.1:" << server.port() << "; " << o.users << " users, "
              << o.contactsPerUser << " contacts each" << std::endl;
    net::io_context io(1);
    auto executor = io.get_executor();
    net::ip::tcp::endpoint endpoint(net::ip::make_address("127.0.0.1"), server.port());
    Deliveries deliveries(o.users);
    auto makeSubscriber = [&](unsigned i, const StreamEvents& events) -> std::unique_ptr<Subscriber> {
        if (againstNats(o))
            return std::make_unique<NatsSubscriber>(executor, endpoint, i, deliveries, events);
        return std::make_unique<StreamClient>(executor, endpoint, population.tokens[i], i, deliveries, events);
    };
    StreamFleet fleet(executor, o.users, makeSubscriber, o.pingSeconds);
    // Across nodes: each heart goes in through the node that does not hold the recipient's stream.
    HttpSignalLink::Route across;
    if (o.cluster)
        across = [&fleet](unsigned recipient) { return fleet.client(recipient).node() == "node1" ? "node2" : "node1"; };
    unsigned links = 0;
    auto makeLink = [&]() -> std::unique_ptr<SignalLink> {
        if (againstNats(o))
            return std::make_unique<NatsPublishLink>(executor, endpoint, links++, o.natsVerbose);
        return std::make_unique<HttpSignalLink>(executor, endpoint, population, across);
    };
    SignalSender sender(executor, population, [&fleet](unsigned i) { return fleet.online(i); }, deliveries,
        o.httpConnections, makeLink);
    Setup setup{o, executor, population, server, deliveries, fleet, sender};
    Measured measured;
    auto scenario = o.mode == LoadOptions::Mode::storm ? (o.cluster ? runFailover(setup, measured.report)
                                                                    : runStorm(setup, measured.report))
        : o.mode == LoadOptions::Mode::fairness        ? runFairness(setup, measured.report)
                                                       : runSpeed(setup, measured.report);
    net::co_spawn(io, std::move(scenario), [&](std::exception_ptr failure) {
        measured.ok = failure == nullptr;
        fleet.stop();
        io.stop();
    });
    io.run();
    measured.p99Micros = deliveries.latency().percentile(0.99);
    measured.ok = measured.ok && deliveries.deliveredCount() + (o.rate == 0 ? 1 : 0) > 0;
    if (!measured.ok)
        std::cerr << "the run failed\n";
    return measured;
}

Measured single(const LoadOptions& o)
{
    auto dataDir = freshDataDir();
    auto population = againstNats(o) ? Population::listsOnly(o.users, o.contactsPerUser)
                                     : Population::prepare(dataDir, o.users, o.contactsPerUser);
    auto server = makeServer(o, dataDir);
    server->start();
    auto options = o;
    options.cluster = false;
    auto measured = measure(options, *server, population);
    server->stop();
    std::filesystem::remove_all(dataDir);
    return measured;
}

Measured cluster(const LoadOptions& o)
{
    auto dir = freshDataDir();
    Measured measured;
    {
        ClusterUnderTest nodes(o.serverBinary, o.natsBinary, dir, o.serverThreads, o.serverCpu);
        auto population = Population::prepareInPostgres(nodes.startDatabase(), o.users, o.contactsPerUser);
        nodes.start();
        measured = measure(o, nodes, population);
        nodes.stop();
    }
    std::filesystem::remove_all(dir);
    return measured;
}

int run(const LoadOptions& o)
{
    raiseDescriptorLimit();
    pinTo(o.clientCpu);
    if (!o.cluster || o.mode == LoadOptions::Mode::storm) {
        auto measured = o.cluster ? cluster(o) : single(o);
        measured.report.print();
        return measured.ok ? 0 : 1;
    }
    auto one = single(o);
    auto two = cluster(o);
    Report::printBeside("one node (SQLite)", one.report, "two nodes via HAProxy, every heart across", two.report);
    if (!one.ok || !two.ok) {
        std::cout << "\nno cross-node ratio: a run failed" << std::endl;
        return 1;
    }
    auto ratio = static_cast<double>(two.p99Micros) / static_cast<double>(std::max<std::int64_t>(1, one.p99Micros));
    std::cout << "\ncross-node p99 / one node's p99 at the same offered rate: " << fixed(ratio, 2)
              << " (target <= 2: " << (ratio <= 2 ? "met" : "**missed**") << ")" << std::endl;
    return 0;
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
