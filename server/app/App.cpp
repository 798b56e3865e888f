#include "app/App.h"
#include "app/Service.h"
#include "common/Log.h"
#include "common/Time.h"
#include "http/Listener.h"
#include "limits/Throttle.h"
#include "ops/OpenFiles.h"
#include "ops/Periodic.h"
#include "ops/WorkerPool.h"
#include <boost/asio/signal_set.hpp>
#include <boost/asio/steady_timer.hpp>
#include <iostream>
#include <malloc.h>
#include <thread>

namespace tender::server {

namespace net = boost::asio;
using namespace std::chrono_literals;

namespace {

constexpr auto drainTime = 300ms;
constexpr std::size_t descriptorsKept = 64; // the database, the log, the key, the pools
constexpr std::size_t slowWorkPerClient = 2;
constexpr std::size_t opsConnections = 64;
constexpr int workNiceness = 10;

std::string baseOf(const Options& options, const net::ip::tcp::endpoint& endpoint)
{
    if (!options.webBase.empty())
        return options.webBase;
    auto address = endpoint.address();
    auto host = address.is_v6() ? "[" + address.to_string() + "]" : address.to_string();
    return "http://" + host + ":" + std::to_string(endpoint.port());
}

std::size_t connectionCap(const Options& options, std::size_t openFiles)
{
    auto possible = openFiles > 2 * descriptorsKept ? openFiles - descriptorsKept : openFiles / 2;
    if (options.maxConnections == 0)
        return possible;
    if (options.maxConnections > possible)
        logLine("--max-connections " + std::to_string(options.maxConnections) + " is above what the open-file limit "
            "allows; taking " + std::to_string(possible));
    return std::min<std::size_t>(options.maxConnections, possible);
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
    auto openFiles = raiseOpenFileLimit();
    Service service(options);
    auto& metrics = service.metrics();

    // Connections may outlive the listeners by a moment at shutdown: what they hold outlives the loop.
    IdleConnections idle;
    IdleConnections opsIdle;
    Seats connections(connectionCap(options, openFiles), options.maxConnectionsPerClient);
    Seats opsSeats(opsConnections, 0);
    Seats slowLane(options.slowQueue, slowWorkPerClient);
    ClientAddresses clients(options.trustedProxies);
    RequestMetrics requestMetrics(metrics);
    metrics.gauge("tender_connections", "Open connections, streams included", {},
        [&connections] { return static_cast<double>(connections.taken()); });
    metrics.gauge("tender_slow_work", "Slow requests running or waiting", {},
        [&slowLane] { return static_cast<double>(slowLane.taken()); });

    unsigned threads = options.threads ? options.threads : std::max(1u, std::thread::hardware_concurrency());
    net::io_context io(static_cast<int>(threads));
    WorkerPool slowWork(2, workNiceness);
    WorkerPool background(1, workNiceness);
    ConnectionSettings connection;
    connection.streamSilence = std::chrono::seconds(options.streamSilenceSeconds);
    connection.slowWork = slowWork.executor();
    connection.oneThread = threads == 1;
    connection.storeWork = service.backends().storeWork();
    connection.slowLane = &slowLane;
    connection.clients = &clients;
    connection.requestMetrics = &requestMetrics;
    connection.slowRefused = &refusalsOf(metrics, "slow_queue");
    connection.abandoned = &metrics.counter("tender_abandoned_requests_total", "Slow requests dropped: their client had gone");
    connection.signalsDelivered = &metrics.counter("tender_signals_delivered_total", "Signal frames written to streams");
    Listener listener(io, {net::ip::make_address(options.host), options.port}, service.router(), &service.gate(),
        connection, {connections, idle, clients, refusalsOf(metrics, "connections")});
    std::optional<Listener> opsListener;
    if (!options.metricsHost.empty())
        opsListener.emplace(io, net::ip::tcp::endpoint{net::ip::make_address(options.metricsHost), options.metricsPort},
            service.opsRouter(), nullptr, ConnectionSettings{},
            ConnectionLimits{opsSeats, opsIdle, clients, refusalsOf(metrics, "ops_connections")});
    auto webBase = baseOf(options, listener.localEndpoint());
    service.addRoutes(webBase);
    requestMetrics.addRoutes(service.router().patterns());

    // The flush writes to disk (a sync per batch) and the rest may wait for the database: none of it
    // holds up a stream or a password check.
    auto every = [&](std::string name, std::chrono::milliseconds period, std::function<void()> task) {
        return std::make_unique<Periodic>(io.get_executor(), background.executor(), std::move(name), period,
            std::move(task), metrics);
    };
    auto& lastSeen = service.lastSeen();
    auto& store = service.store();
    auto& readiness = service.readiness();
    std::vector<std::unique_ptr<Periodic>> chores;
    chores.push_back(every("last-seen flush", 5s, [&lastSeen] { lastSeen.flush(); }));
    chores.push_back(every("reset code purge", 10min, [&store] { store.purgeExpiredResetCodes(nowMs()); }));
    chores.push_back(every("readiness checks", 2s, [&readiness] { readiness.refresh(nowMs()); }));
    // Give back what bursts of handshakes (a reconnection storm) freed, rather than hold it for the
    // life of the process.
    chores.push_back(every("memory trim", 5s, [] { ::malloc_trim(0); }));

    net::steady_timer drainTimer(io);
    net::signal_set signalsToStop(io, SIGINT, SIGTERM);
    signalsToStop.async_wait([&](boost::system::error_code error, int) {
        if (error)
            return;
        logLine("stopping");
        listener.stop();
        if (opsListener)
            opsListener->stop();
        service.hub().closeAll();
        for (auto& chore : chores)
            chore->stop();
        drainTimer.expires_after(drainTime);
        drainTimer.async_wait([&io](boost::system::error_code) { io.stop(); });
    });

    // Before the first request, so no signal after a start waits for the database, and the read
    // does not compete with a reconnection storm for the core.
    service.backends().prepare();
    for (auto& chore : chores)
        chore->start();
    listener.start();
    if (opsListener)
        opsListener->start();
    std::cout << "tender-server listening on " << baseOf(Options{}, listener.localEndpoint()) << " (web base " << webBase
              << ", " << service.backends().describe()
              << (opsListener ? ", metrics on " + baseOf(Options{}, opsListener->localEndpoint()) : "")
              << (options.devSignin ? ", development sign-in on" : "") << ")" << std::endl;
    runThreads(io, threads);
    slowWork.join();
    background.join();
    service.backends().finish();
    chores.front()->runHere(); // the last-seen flush, once more
    logLine("stopped");
    return 0;
}

}
