#include "app/ListeningLine.h"
#include "support/ServerTest.h"
#include <fstream>
#include <regex>
#include <sys/resource.h>

using namespace tender::testing;

using OperationsTest = ServerTest;

TEST(DevelopmentSwitches, RefuseToStartOffLoopback)
{
    TempDir dir;
    auto data = dir.path() / "data";
    const std::tuple<std::vector<std::string>, Environment, std::string> cases[] = { // args, env, flag named
        {{"--listen", "0.0.0.0:0", "--dev-signin", "--identity-key", "K"}, {}, "--dev-signin"},
        {{"--listen", "0.0.0.0:0", "--identity-key", "K"}, {{"TENDER_SERVER_DEV_SIGNIN", "1"}},
            "--dev-signin"},
        {{"--listen", "0.0.0.0:0"}, {}, "--identity-key"},
        {{"--listen", "[::]:0"}, {}, "--identity-key"},
        {{"--listen", "localhost:0", "--dev-signin"}, {}, "--dev-signin"},
    };
    for (const auto& [args, environment, named] : cases) {
        auto [status, log] = ServerProcess::runExpectingExit(data, args, environment);
        EXPECT_EQ(status, 2) << named;
        EXPECT_NE(log.find(named), std::string::npos) << log;
        EXPECT_FALSE(std::filesystem::exists(data)) << "refused before anything is written";
    }
    for (const auto& allowed : {std::vector<std::string>{"--listen", "[::1]:0", "--dev-signin"},
             std::vector<std::string>{"--listen", "0.0.0.0:0", "--identity-key", "K"}}) {
        ServerProcess started(data, allowed);
        EXPECT_EQ(started.stop(), 0) << allowed[1];
    }
}

TEST_F(OperationsTest, RaisesItsOpenFileLimitToTheHardOne)
{
    rlimit own{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &own), 0);
    rlimit lowered{std::min<rlim_t>(256, own.rlim_max), own.rlim_max};
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &lowered), 0);
    start();
    ::setrlimit(RLIMIT_NOFILE, &own);
    rlimit theirs{};
    ASSERT_EQ(::prlimit(server->pid(), RLIMIT_NOFILE, nullptr, &theirs), 0);
    EXPECT_EQ(theirs.rlim_cur, theirs.rlim_max);
}

TEST_F(OperationsTest, ReadinessAndMetricsTellWhatHappened)
{
    auto ready = http->get("/readyz");
    EXPECT_EQ(ready.status, 200);
    EXPECT_EQ(ready.json().at("checks").at("database"), "ok");

    auto sender = signUp(*http, uniqueEmail("sender"));
    auto receiver = quickUser(*http, "receiver");
    auto stream = readyStream(receiver);
    ASSERT_EQ(signal(*http, sender.idToken, addContact(*http, sender, receiver)), 202);
    ASSERT_TRUE(stream->next());
    std::map<std::string, double> m;
    ASSERT_TRUE(eventually([&] {
        m = readMetrics(http->get("/metrics").body);
        return m["tender_signals_delivered_total"] == 1;
    }));
    EXPECT_EQ(m["tender_signals_accepted_total"], 1);
    EXPECT_EQ(m["tender_streams{kind=\"app\"}"], 1);
    EXPECT_GE(m["tender_connections"], 2);
    EXPECT_EQ((m["tender_identity_outcomes_total{call=\"signUp\",outcome=\"OK\"}"]), 1);
    EXPECT_EQ(m["tender_request_duration_seconds_count{route=\"/v1/events\"}"], 1);
    EXPECT_EQ(http->get("/metrics").headers["content-type"], "text/plain; version=0.0.4; charset=utf-8");
}

// Metrics on an address of their own; forwarded addresses believed only from trusted proxies.
TEST_F(OperationsTest, MetricsCanLiveApartAndForwardedAddressesAreBelievedOnlyFromTrustedProxies)
{
    start({"--dev-signin", "--metrics-listen", "127.0.0.1:0", "--trusted-proxy", "127.0.0.5"});
    HttpClient ops(tender::portIn(server->firstLine(), "metrics on "));
    EXPECT_EQ(http->get("/metrics").status, 404);
    EXPECT_EQ(http->get("/healthz").status, 200);
    EXPECT_NE(ops.get("/metrics").body.find("# TYPE tender_connections gauge"), std::string::npos);
    for (const auto& path : {"/healthz", "/readyz"})
        EXPECT_EQ(ops.get(path).status, 200) << path;
    EXPECT_EQ(ops.get("/v1/me").status, 404);
    EXPECT_EQ(WsClient::open(ops.port(), "/v1/stream", quickUser(*http).idToken).refusedStatus, 404);

    auto guess = [&](const std::string& source, const std::string& forwarded) {
        RawSocket client(server->port(), source);
        return client.get("/i/ZZZZZ-ZZZZZ", "X-Forwarded-For: " + forwarded + "\r\n");
    };
    for (int i = 0; i < 20; ++i) {
        ASSERT_EQ(guess("127.0.0.5", "203.0.113.9, 198.51.100.7"), 404);
        ASSERT_EQ(guess("127.0.0.6", "198.51.100.8"), 404);
    }
    EXPECT_EQ(guess("127.0.0.5", "198.51.100.7"), 429) << "the proxy's client, as the proxy saw it";
    EXPECT_EQ(guess("127.0.0.5", "198.51.100.8"), 404) << "another client behind the proxy";
    EXPECT_EQ(guess("127.0.0.6", "198.51.100.9"), 429)
        << "an untrusted peer is its own client, whatever it says";
}

TEST(SigningKey, ItsDirectoryIsSyncedOnceTheKeyIsWritten)
{
    if (std::system("strace -V >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "strace is not installed (scripts/install-deps installs it)";
    TempDir dir;
    auto trace = dir.path() / "trace";
    auto data = dir.path() / "data";
    auto command = "strace -f -e trace=rename,fsync,openat -o " + trace.string() + " " + TENDER_SERVER_BINARY
        + " --listen 127.0.0.1:0 --data " + data.string() + " >/dev/null 2>&1 & tracer=$!; "
        + "for i in $(seq 100); do [ -s " + (data / "signing.key").string() + " ] && break; sleep 0.1; done; "
        + "sleep 0.3; kill $(pgrep -P $tracer); wait $tracer";
    std::system(command.c_str());
    std::ifstream in(trace);
    std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::smatch found;
    auto renamed = all.find("signing.key.new\", \"" + (data / "signing.key").string());
    ASSERT_NE(renamed, std::string::npos) << all;
    auto after = all.substr(renamed);
    ASSERT_TRUE(std::regex_search(after, found,
        std::regex("openat\\(AT_FDCWD, \"" + data.string() + "\", [^)]*O_DIRECTORY[^)]*\\) = (\\d+)")));
    EXPECT_NE(after.find("fsync(" + found[1].str() + ")"), std::string::npos) << after;
}
