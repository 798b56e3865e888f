#include "common/LogWriter.h"
#include "limits/ClientAddresses.h"
#include "limits/MemoryCounters.h"
#include "limits/Seats.h"
#include "limits/Throttle.h"
#include "ops/Metrics.h"
#include "ops/Periodic.h"
#include "ops/Readiness.h"
#include <boost/asio/io_context.hpp>
#include <boost/asio/thread_pool.hpp>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace tender::server;

TEST(Throttle, CountsInWindowsAndTellsWhenToComeBack)
{
    MemoryCounters counters;
    Metrics metrics;
    Throttle throttle(counters, "test", 3, 10'000, metrics);
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(throttle.take("a", 1000));
    auto refused = throttle.take("a", 4000);
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->retryAfterSeconds, 7) << "the window began at the first attempt";
    EXPECT_FALSE(throttle.take("b", 4000)) << "keys apart";
    EXPECT_FALSE(throttle.take("a", 11'000)) << "a new window";

    throttle.count("c", 0);
    throttle.count("c", 0);
    EXPECT_FALSE(throttle.check("c", 0));
    throttle.count("c", 0);
    EXPECT_TRUE(throttle.check("c", 0)) << "three counted failures reach the limit";
    throttle.clear("c");
    EXPECT_FALSE(throttle.check("c", 0));
    EXPECT_NE(metrics.text().find("tender_throttled_total{kind=\"test\"} 2"), std::string::npos)
        << metrics.text();
}

TEST(MemoryCounters, PastTheirBoundNewKeysShareOneWindow)
{
    MemoryCounters counters(2);
    counters.add("a", 1, 1000, 0);
    counters.add("b", 1, 1000, 0);
    EXPECT_EQ(counters.add("c", 1, 1000, 0).count, 1);
    EXPECT_EQ(counters.add("d", 1, 1000, 0).count, 2) << "c and d share";
    EXPECT_EQ(counters.add("e", 1, 1000, 2000).count, 1) << "expired windows make room again";
    EXPECT_EQ(counters.add("a", 0, 1000, 2000).count, 0);
}

TEST(Seats, CapInAllAndPerKeyAndComeBackWhenLeft)
{
    Seats seats(3, 2);
    auto a1 = seats.take("a");
    auto a2 = seats.take("a");
    EXPECT_FALSE(seats.take("a")) << "a's cap";
    EXPECT_TRUE(seats.keyFull("a"));
    auto b1 = seats.take("b");
    EXPECT_FALSE(seats.take("c")) << "the total";
    auto over = seats.take("c", true);
    EXPECT_TRUE(over);
    EXPECT_FALSE(seats.take("a", true)) << "never past a key's cap";
    EXPECT_EQ(seats.taken(), 4u);
    a1.reset();
    over.reset();
    EXPECT_TRUE(seats.take("a"));
    EXPECT_EQ(seats.taken(), 2u) << "the place just taken went back with its seat";
}

TEST(ClientAddresses, BelieveForwardedAddressesOnlyFromTrustedProxies)
{
    ClientAddresses clients({"10.0.0.1", "10.0.0.2"});
    const std::tuple<const char*, const char*, const char*> cases[] = { // peer, forwarded, client
        {"192.0.2.7", "", "192.0.2.7"},
        {"192.0.2.7", "198.51.100.1", "192.0.2.7"},
        {"10.0.0.1", "", "10.0.0.1"},
        {"10.0.0.1", "198.51.100.1", "198.51.100.1"},
        {"10.0.0.1", "6.6.6.6, 198.51.100.1, 10.0.0.2", "198.51.100.1"},
        {"10.0.0.1", "10.0.0.2", "10.0.0.2"},
        {"10.0.0.1", "garbage, 198.51.100.1", "198.51.100.1"},
        {"10.0.0.1", "198.51.100.1, garbage", "10.0.0.1"},
        {"2001:db8:1:2:3:4:5:6", "", "2001:db8:1:2::/64"},
        {"::ffff:192.0.2.9", "", "192.0.2.9"},
        {"::ffff:10.0.0.1", "198.51.100.1", "198.51.100.1"},
    };
    for (auto [peer, forwarded, client] : cases)
        EXPECT_EQ(clients.of(boost::asio::ip::make_address(peer), forwarded), client) << peer << forwarded;
}

TEST(Metrics, WritesThePrometheusTextFormat)
{
    Metrics metrics;
    metrics.counter("t_total", "Things\nsaid", {{"kind", "a\"b\\c"}}).add(3);
    metrics.counter("t_total", "Things\nsaid", {{"kind", "a\"b\\c"}}).add();
    metrics.gauge("t_open", "Open", {}, [] { return 2.5; });
    auto& latency = metrics.histogram("t_seconds", "Latency", {0.25, 1}, {{"route", "/x"}});
    for (double v : {0.125, 0.25, 0.5, 8.0})
        latency.observe(v);
    EXPECT_EQ(metrics.text(),
        "# HELP t_open Open\n# TYPE t_open gauge\nt_open 2.5\n"
        "# HELP t_seconds Latency\n# TYPE t_seconds histogram\n"
        "t_seconds_bucket{route=\"/x\",le=\"0.25\"} 2\nt_seconds_bucket{route=\"/x\",le=\"1\"} 3\n"
        "t_seconds_bucket{route=\"/x\",le=\"+Inf\"} 4\nt_seconds_sum{route=\"/x\"} 8.875\n"
        "t_seconds_count{route=\"/x\"} 4\n"
        "# HELP t_total Things\\nsaid\n# TYPE t_total counter\nt_total{kind=\"a\\\"b\\\\c\"} 4\n");
    EXPECT_THROW(metrics.gauge("t_total", "Again"), std::logic_error);
}

TEST(Readiness, AFailingThrowingOrStuckCheckIsNotReady)
{
    Readiness readiness;
    std::atomic<bool> databaseUp = true, hang = false, hanging = false;
    readiness.add("database", [&] {
        for (hanging = hang.load(); hang;)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return databaseUp.load();
    });
    readiness.add("bus", []() -> bool { throw std::runtime_error("no route"); });
    EXPECT_FALSE(readiness.results(0)[0].ok) << "not checked yet";
    readiness.refresh(1000);
    auto results = readiness.results(1000);
    ASSERT_EQ(results.size(), 2u);
    EXPECT_TRUE(results[0].ok);
    EXPECT_FALSE(results[1].ok);
    databaseUp = false;
    readiness.refresh(2000);
    EXPECT_FALSE(readiness.results(2000)[0].ok);
    databaseUp = true;
    hang = true;
    std::thread stuck([&] { readiness.refresh(3000); });
    while (!hanging)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_FALSE(readiness.results(3000 + Readiness::stuckAfterMs + 1)[0].ok) << "a check that never returns";
    hang = false;
    stuck.join();
    EXPECT_TRUE(readiness.results(3000 + Readiness::stuckAfterMs + 1)[0].ok);
}

TEST(Periodic, AFailingTaskIsCountedAndRunsAgain)
{
    boost::asio::io_context io;
    boost::asio::thread_pool work(1);
    Metrics metrics;
    std::atomic<int> runs = 0;
    Periodic chore(io.get_executor(), work.get_executor(), "chore", std::chrono::milliseconds(5), [&] {
        if (++runs >= 3)
            io.stop();
        throw std::runtime_error("disk full");
    }, metrics);
    chore.start();
    io.run_for(std::chrono::seconds(20));
    work.join();
    EXPECT_GE(runs, 3);
    auto failures = "tender_background_failures_total{task=\"chore\"} " + std::to_string(runs.load());
    EXPECT_NE(metrics.text().find(failures), std::string::npos) << metrics.text();
}

// The pipe is full and the writer stuck in its first write before the lines pile up, so lines are
// dropped however late the writer's thread runs.
TEST(LogWriter, KeepsItsBufferBoundedWhileNobodyReads)
{
    int ends[2];
    ASSERT_EQ(::pipe2(ends, O_CLOEXEC | O_NONBLOCK), 0);
    const std::string filler(4096, '.');
    while (::write(ends[1], filler.data(), filler.size()) > 0) {
    }
    for (int end : ends)
        ASSERT_EQ(::fcntl(end, F_SETFL, 0), 0);
    std::string written;
    std::thread reader;
    {
        LogWriter log(ends[1], 256 * 1024);
        const std::string line(200, 'x');
        while (log.pendingBytes() < 64 * 1024)
            log.append(line);
        while (log.pendingBytes() > 0) // taken by the writer, which now waits for the pipe
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        for (int i = 0; i < 20'000; ++i) // 4 MB
            log.append(line);
        EXPECT_LE(log.pendingBytes(), 256u * 1024);
        reader = std::thread([&] {
            char chunk[65536];
            for (ssize_t got; (got = ::read(ends[0], chunk, sizeof chunk)) > 0;)
                written.append(chunk, static_cast<std::size_t>(got));
        });
        while (log.pendingBytes() > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        log.append("after");
    } // writes what is left
    ::close(ends[1]);
    reader.join();
    ::close(ends[0]);
    auto dropped = written.rfind(" log lines dropped\n");
    ASSERT_NE(dropped, std::string::npos);
    EXPECT_EQ(written.find(" after\n"), written.find('\n', dropped) + 25)
        << "the count, then the line after it";
}
