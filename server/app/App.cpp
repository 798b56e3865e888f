#include "app/App.h"
#include "app/Chores.h"
#include "app/Front.h"
#include "app/Service.h"
#include "common/Log.h"
#include "ops/WorkerPool.h"
#include <boost/asio/signal_set.hpp>
#include <boost/asio/steady_timer.hpp>
#include <iostream>
#include <thread>

namespace tender::server {

namespace net = boost::asio;

namespace {

constexpr auto drainTime = std::chrono::milliseconds(300);
constexpr int workNiceness = 10; // password hashing and chores yield to streams and requests

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
    WorkerPool slowWork(2, workNiceness);
    WorkerPool background(1, workNiceness);
    Front front(io, options, service, slowWork.executor(), threads == 1);
    Chores chores(io.get_executor(), background.executor(), service);

    net::steady_timer drainTimer(io);
    net::signal_set signalsToStop(io, SIGINT, SIGTERM);
    signalsToStop.async_wait([&](boost::system::error_code error, int) {
        if (error)
            return;
        logLine("stopping");
        front.stop();
        service.hub().closeAll();
        chores.stop();
        drainTimer.expires_after(drainTime);
        drainTimer.async_wait([&io](boost::system::error_code) { io.stop(); });
    });

    // Before the first request, so no signal after a start waits for the database, and the read
    // does not compete with a reconnection storm for the core.
    service.backends().prepare();
    chores.start();
    front.start();
    std::cout << "tender-server listening on " << front.where() << ", " << service.backends().describe()
              << (options.devSignin ? ", development sign-in on" : "") << ")" << std::endl;
    runThreads(io, threads);
    slowWork.join();
    background.join();
    service.backends().finish();
    chores.flushLastSeen();
    logLine("stopped");
    return 0;
}

}
