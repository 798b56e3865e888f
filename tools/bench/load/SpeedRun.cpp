#include "load/ProcessProbe.h"
#include "load/Setup.h"
#include <sys/resource.h>

namespace tender::bench {
namespace {

constexpr unsigned openPerSecond = 4000;
constexpr std::int64_t densityTargetBytes = 6 * 1024;

double ownCpuSeconds()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

}

boost::asio::awaitable<bool> connectAll(Setup& setup, Report& report)
{
    auto pid = setup.server.pid();
    auto rssBefore = residentBytes(pid);
    auto kernelBefore = kernelNetworkBytes();
    auto started = Clock::now();
    auto users = setup.fleet.size();
    setup.fleet.start(openPerSecond);
    auto limit = std::chrono::seconds(30 + users / 500);
    bool all = co_await waitUntil(setup.executor, [&] { return setup.fleet.onlineCount() == users; }, limit);
    report.add("streams opened", std::to_string(setup.fleet.onlineCount()) + " of " + std::to_string(users)
        + " in " + fixed(secondsSince(started), 1) + " s (opened at " + std::to_string(openPerSecond) + "/s)");
    // The server gives freed memory back every 5 s; what it keeps after that is what streams cost.
    co_await waitUntil(setup.executor, [] { return false; }, std::chrono::seconds(6));
    auto perStream = (residentBytes(pid) - rssBefore) / std::max(1u, setup.fleet.onlineCount());
    auto kernelPerStream = (kernelNetworkBytes() - kernelBefore) / std::max(1u, setup.fleet.onlineCount());
    report.add("server RSS before streams", mebibytes(rssBefore));
    report.add("server RSS growth per stream", std::to_string(perStream) + " B", "<= 6 KB",
        perStream <= densityTargetBytes);
    report.add("kernel memory per stream (slab + TCP buffers, both ends, machine-wide)",
        std::to_string(kernelPerStream) + " B");
    co_return all;
}

boost::asio::awaitable<void> runSpeed(Setup& setup, Report& report)
{
    const auto& o = setup.options;
    if (!co_await connectAll(setup, report))
        co_return;
    auto pid = setup.server.pid();
    auto cpuBefore = cpuReading(setup.server.pids());
    auto nodeCpuBefore = cpuReading(setup.server.nodePids());
    auto ownCpuBefore = ownCpuSeconds();
    auto lostBefore = setup.fleet.lostCount();
    auto started = Clock::now();
    if (o.rate > 0)
        co_await setup.sender.run(o.rate, std::chrono::seconds(o.seconds));
    else // only holding the streams, pinging
        co_await waitUntil(setup.executor, [] { return false; }, std::chrono::seconds(o.seconds));
    auto sendingSeconds = secondsSince(started);
    // Frames still on their way after the last answer.
    co_await waitUntil(setup.executor, [&] { return setup.deliveries.outstanding() == 0; }, std::chrono::seconds(3));
    auto cpu = cpuSince(cpuBefore, setup.server.pids());
    auto nodeCpu = cpuSince(nodeCpuBefore, setup.server.nodePids());
    auto ownCpu = ownCpuSeconds() - ownCpuBefore;
    auto delivered = setup.deliveries.deliveredCount();
    auto deliveredRate = static_cast<double>(delivered) / sendingSeconds;
    auto held = setup.fleet.onlineCount();

    report.add("streams held at the end", std::to_string(held), std::to_string(setup.fleet.size()),
        held == setup.fleet.size());
    report.add("streams dropped during the run", std::to_string(setup.fleet.lostCount() - lostBefore), "0",
        setup.fleet.lostCount() == lostBefore);
    report.add("server RSS at the end", mebibytes(residentBytes(pid)));
    report.add("offered rate", fixed(static_cast<double>(setup.sender.offered()) / o.seconds, 0) + " /s");
    report.add("delivered rate", fixed(deliveredRate, 0) + " /s", o.rate >= 50000 ? ">= 50000 /s" : "",
        o.rate >= 50000 ? std::optional<bool>(deliveredRate >= 50000) : std::nullopt);
    report.add("dropped by the generator (backlog full)", std::to_string(setup.sender.backlogDropped()));
    if (o.rate > 0)
        report.addLatency(setup.deliveries);
    auto perMillion = [&](double seconds) { return delivered ? fixed(seconds * 1e6 / static_cast<double>(delivered), 1) : "-"; };
    report.add("server CPU seconds per million deliveries", perMillion(cpu));
    report.add("server CPU used while sending", fixed(100 * cpu / sendingSeconds, 0) + " % of one core");
    if (setup.server.pids().size() > setup.server.nodePids().size()) {
        report.add("of which tender-server nodes, per million deliveries", perMillion(nodeCpu));
        report.add("of which PostgreSQL, nats-server and HAProxy, per million deliveries", perMillion(cpu - nodeCpu));
    }
    report.add("generator CPU used while sending", fixed(100 * ownCpu / sendingSeconds, 0) + " % of one core");
}

}
