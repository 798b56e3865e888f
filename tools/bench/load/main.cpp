#include "load/Setup.h"
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

int run(const LoadOptions& o)
{
    raiseDescriptorLimit();
    pinTo(o.clientCpu);
    auto dataDir = freshDataDir();
    auto population = Population::prepare(dataDir, o.users, o.contactsPerUser);
    ServerUnderTest server(o.serverBinary, dataDir, o.serverThreads, o.serverCpu);
    server.start();
    std::cout << "tender-server pid " << server.pid() << " on 127.0.0.1:" << server.port() << "; " << o.users
              << " users, " << o.contactsPerUser << " contacts each" << std::endl;

    net::io_context io(1);
    net::ip::tcp::endpoint endpoint(net::ip::make_address("127.0.0.1"), server.port());
    Deliveries deliveries(o.users);
    StreamFleet fleet(io.get_executor(), endpoint, population.tokens, deliveries, o.pingSeconds);
    SignalSender sender(io.get_executor(), endpoint, population, fleet, deliveries, o.httpConnections);
    Setup setup{o, io.get_executor(), population, server, deliveries, fleet, sender};
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
    server.stop();
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
