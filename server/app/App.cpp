#include "app/App.h"
#include "app/Service.h"
#include "common/Log.h"
#include "http/Listener.h"
#include <boost/asio/post.hpp>
#include <boost/asio/signal_set.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/asio/thread_pool.hpp>
#include <iostream>
#include <malloc.h>
#include <thread>

namespace tender::server {

namespace net = boost::asio;

namespace {

constexpr auto lastSeenFlushPeriod = std::chrono::seconds(5);
constexpr auto drainTime = std::chrono::milliseconds(300);

std::string baseOf(const Options& options, const net::ip::tcp::endpoint& endpoint)
{
    if (!options.webBase.empty())
        return options.webBase;
    auto address = endpoint.address();
    auto host = address.is_v6() ? "[" + address.to_string() + "]" : address.to_string();
    return "http://" + host + ":" + std::to_string(endpoint.port());
}

// The flush writes to disk (a sync per batch), so it runs where it holds up no stream.
void flushPeriodically(net::steady_timer& timer, LastSeen& lastSeen, net::thread_pool& slowWork)
{
    timer.expires_after(lastSeenFlushPeriod);
    timer.async_wait([&timer, &lastSeen, &slowWork](boost::system::error_code error) {
        if (error)
            return;
        net::post(slowWork, [&lastSeen] {
            try {
                lastSeen.flush();
            } catch (const std::exception& error) {
                logLine(std::string("last-seen times not written: ") + error.what());
            }
        });
        // Give back what bursts of handshakes (a reconnection storm) freed, rather than holding
        // it for the life of the process.
        ::malloc_trim(0);
        flushPeriodically(timer, lastSeen, slowWork);
    });
}

void runThreads(net::io_context& io, unsigned count)
{
    std::vector<std::thread> threads;
    for (unsigned i = 1; i < count; ++i)
        threads.emplace_back([&io] { io.run(); });
    io.run();
    for (auto& t : threads)
        t.join();
}

}

int runServer(const Options& options)
{
    Service service(options);
    unsigned threads = options.threads ? options.threads : std::max(1u, std::thread::hardware_concurrency());
    net::io_context io(static_cast<int>(threads));
    net::thread_pool slowWork(2);
    ConnectionSettings connection;
    connection.streamSilence = std::chrono::seconds(options.streamSilenceSeconds);
    connection.slowWork = slowWork.get_executor();
    connection.oneThread = threads == 1;
    connection.storeWork = service.backends().storeWork();
    Listener listener(io, {net::ip::make_address(options.host), options.port}, service.router(), service.gate(),
        connection);
    auto webBase = baseOf(options, listener.localEndpoint());
    service.addRoutes(webBase);

    net::steady_timer flushTimer(io);
    flushPeriodically(flushTimer, service.lastSeen(), slowWork);
    net::steady_timer drainTimer(io);
    net::signal_set signalsToStop(io, SIGINT, SIGTERM);
    signalsToStop.async_wait([&](boost::system::error_code error, int) {
        if (error)
            return;
        logLine("stopping");
        listener.stop();
        service.hub().closeAll();
        flushTimer.cancel();
        drainTimer.expires_after(drainTime);
        drainTimer.async_wait([&io](boost::system::error_code) { io.stop(); });
    });

    // Before the first request, so no signal after a start waits for the database, and the read
    // does not compete with a reconnection storm for the core.
    service.backends().prepare();
    listener.start();
    auto endpoint = listener.localEndpoint();
    std::cout << "tender-server listening on " << baseOf(Options{}, endpoint) << " (web base " << webBase
              << ", " << service.backends().describe() << (options.devSignin ? ", development sign-in on" : "")
              << ")" << std::endl;
    runThreads(io, threads);
    slowWork.join();
    service.backends().finish();
    service.lastSeen().flush();
    logLine("stopped");
    return 0;
}

}
