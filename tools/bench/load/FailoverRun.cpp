#include "load/Setup.h"
#include "load/cluster/ClusterUnderTest.h"
#include <boost/asio/co_spawn.hpp>

namespace tender::bench {

boost::asio::awaitable<void> runFailover(Setup& setup, Report& report)
{
    auto& cluster = dynamic_cast<ClusterUnderTest&>(setup.server);
    const auto& o = setup.options;
    if (!co_await connectAll(setup, report))
        co_return;
    unsigned onVictim = 0;
    for (unsigned i = 0; i < setup.fleet.size(); ++i)
        onVictim += setup.fleet.online(i) && setup.fleet.client(i).node() == "node1";
    bool sent = o.rate == 0;
    if (o.rate > 0)
        boost::asio::co_spawn(setup.executor, setup.sender.run(o.rate, calmBeforeKill + std::chrono::seconds(o.seconds)),
            [&](std::exception_ptr) { sent = true; });
    co_await waitUntil(setup.executor, [] { return false; }, calmBeforeKill);

    auto killed = Clock::now();
    cluster.killNode(0);
    auto seen = co_await watchReturn(setup, killed, std::chrono::seconds(o.seconds));
    co_await waitUntil(setup.executor, [&] { return sent; }, std::chrono::seconds(30));
    report.add("streams on the killed node", std::to_string(onVictim) + " of " + std::to_string(setup.fleet.size()));
    report.add("99 % of all streams online again, from kill -9", secondsOrNever(seen.to99), "<= 15 s",
        seen.to99 && *seen.to99 <= 15);
    report.add("all streams online again, from kill -9", secondsOrNever(seen.toAll));
    report.add("peak authenticated upgrades per second on the other node", fixed(seen.peakUpgradesPerSecond, 0));
    if (o.rate > 0)
        report.addLatency(setup.deliveries);
}

}
