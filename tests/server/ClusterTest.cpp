#include "load/ChildProcess.h"
#include "load/cluster/ClusterUnderTest.h"
#include "support/ServerTest.h"
#include <future>

using namespace tender::testing;
namespace bench = tender::bench;

// Two tender-server nodes on one fresh PostgreSQL database and the shared nats-server, started
// together so their migrations meet. Skipped where PostgreSQL or nats-server is not installed.
class ClusterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        services = ClusterServices::shared();
        if (!services)
            GTEST_SKIP() << ClusterServices::missing();
        database = services->freshDatabase();
        auto second = std::async(std::launch::async, [&] { return startNode("b"); });
        a = startNode("a");
        b = second.get();
        viaA = std::make_unique<HttpClient>(a->port());
        viaB = std::make_unique<HttpClient>(b->port());
    }

    std::unique_ptr<ServerProcess> startNode(const std::string& name)
    {
        return std::make_unique<ServerProcess>(dir.path() / name, std::vector<std::string>{"--dev-signin",
            "--database", database, "--bus", services->busUrl(), "--database-connections", "2",
            "--trusted-proxy", "127.0.0.1"});
    }

    // Asks `node`'s /readyz until it answers `status` or 10 s pass.
    static bool becomes(const ServerProcess& node, int status)
    {
        return eventually([&] { return HttpClient(node.port()).get("/readyz").status == status; },
            milliseconds(10000));
    }

    TempDir dir;
    ClusterServices* services = nullptr;
    std::string database;
    std::unique_ptr<ServerProcess> a, b;
    std::unique_ptr<HttpClient> viaA, viaB;
};

TEST_F(ClusterTest, HeartsCrossNodesOnceToEveryStreamAndTheRandomOnesHourHoldsOnEvery)
{
    auto [early, sender] = quickUsers(*viaA, "early", "sender");
    auto [open, closed, receiver] = quickUsers(*viaB, "open", "closed", "receiver");
    auto closedStream = streamOn(b->port(), closed.idToken, "/v1/stream?anyone=false");
    ASSERT_EQ(signal(*viaA, early.idToken), 202) << "nobody online: the heart waits";
    auto openStream = streamOn(b->port(), open.idToken);
    EXPECT_EQ(openStream->next(), signalFrame) << "the waiting heart, kept by A, reaches a stream on B";
    auto senderOnA = streamOn(a->port(), sender.idToken);
    ASSERT_EQ(signal(*viaA, sender.idToken), 202);
    EXPECT_EQ(openStream->next(), signalFrame);
    EXPECT_EQ(closedStream->next(quiet), std::nullopt);
    EXPECT_EQ(senderOnA->next(quiet), std::nullopt) << "never to the sender";
    EXPECT_EQ(signal(*viaB, sender.idToken), 429) << "once an hour, whichever node";
    EXPECT_EQ(signal(*viaA, early.idToken), 429);

    auto contact = addContact(*viaB, sender, receiver); // a token signed by A, accepted by B
    auto onA = streamOn(a->port(), receiver.idToken);
    auto onB = streamOn(b->port(), receiver.idToken);
    auto senderOnB = streamOn(b->port(), sender.idToken);
    for (auto* node : {viaA.get(), viaB.get()}) {
        ASSERT_EQ(signal(*node, sender.idToken, contact), 202);
        for (auto* stream : {onA.get(), onB.get()}) {
            EXPECT_EQ(stream->next(), signalFrame);
            EXPECT_EQ(stream->next(quiet), std::nullopt) << "exactly once";
        }
    }
    viaA->patch("/v1/contacts/" + contact, {{"close", true}}, sender.idToken);
    EXPECT_EQ(senderOnB->next(), syncFrame) << "a change through A reaches the sender's stream on B";
}

TEST_F(ClusterTest, ARemovalAnsweredByOneNodeHoldsOnTheOtherAtOnce)
{
    auto [owner, other, leaving] = quickUsers(*viaA, "owner", "other", "leaving");
    auto contact = addContact(*viaA, owner, other);
    auto toLeaving = addContact(*viaA, owner, leaving);
    ASSERT_EQ(signal(*viaA, owner.idToken, contact), 202);
    ASSERT_EQ(viaB->del("/v1/contacts/" + contact, owner.idToken).status, 204);
    EXPECT_EQ(signal(*viaA, owner.idToken, contact), 404);

    auto lamp = pairDevice(*viaA, other, {"receive"});
    auto lampStream = streamOn(a->port(), lamp.token, "/v1/device/stream");
    ASSERT_EQ(viaB->del("/v1/devices/" + lamp.id, other.idToken).status, 204);
    EXPECT_TRUE(lampStream->closedWithin()) << "a device removed through B loses its stream on A";

    auto leavingOnA = streamOn(a->port(), leaving.idToken);
    ASSERT_EQ(signal(*viaA, owner.idToken, toLeaving), 202);
    ASSERT_EQ(viaB->del("/v1/me", leaving.idToken).status, 204);
    EXPECT_TRUE(leavingOnA->closedWithin());
    EXPECT_EQ(viaA->get("/v1/me", leaving.idToken).status, 401);
    EXPECT_EQ(signal(*viaA, owner.idToken, toLeaving), 404);
}

TEST_F(ClusterTest, FailuresCountOnEveryNodeAndAKilledNodesStreamsComeBackAndARestartFindsEveryAccount)
{
    auto owner = signUp(*viaA, uniqueEmail("owner"));
    auto guessed = signUp(*viaA, uniqueEmail("gleb"), "right-password");
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(signIn(i % 2 ? *viaA : *viaB, guessed.email, "wrong").error(), "INVALID_LOGIN_CREDENTIALS");
    EXPECT_TRUE(signIn(*viaA, guessed.email, "right-password").error().starts_with("TOO_MANY_ATTEMPTS"))
        << "failed sign-ins count on every node";
    auto friendUser = quickUser(*viaB, "friend");
    auto contact = addContact(*viaA, owner, friendUser, "Оля");
    auto stream = streamOn(a->port(), friendUser.idToken);
    a->stop(SIGKILL);
    EXPECT_TRUE(stream->closedWithin());
    stream = streamOn(b->port(), friendUser.idToken); // where the balancer sends the app's next attempt
    ASSERT_EQ(signal(*viaB, owner.idToken, contact), 202);
    EXPECT_EQ(stream->next(), signalFrame);

    b->stop();
    a = startNode("a2");
    viaA = std::make_unique<HttpClient>(a->port());
    auto signedIn = signIn(*viaA, owner.email, "secret-pass");
    ASSERT_EQ(signedIn.status, 200) << signedIn.body;
    owner.idToken = signedIn.field("/idToken");
    EXPECT_EQ(contactLabels(*viaA, owner), std::vector<std::string>{"Оля"});
    EXPECT_EQ(viaA->get("/v1/me", friendUser.idToken).status, 200) << "tokens signed before the restart";
}

// The packaged HAProxy names each client to the nodes, so one client's refusals stay its own, and a
// connection a dead node refuses is tried on the other.
TEST_F(ClusterTest, ThePackagedBalancerNamesEachClientAndPassesOverADeadNode)
{
    if (!std::filesystem::exists("/usr/sbin/haproxy"))
        GTEST_SKIP() << "HAProxy is not installed (Debian: haproxy)";
    auto port = bench::freePort();
    struct Stop {
        pid_t pid;
        ~Stop() { bench::killAndReap(pid, SIGTERM); }
    } balancer{bench::startBalancer(dir.path(), port, {a->port(), b->port()}, -1)};
    HttpClient guesser(port, "127.0.0.2"), other(port, "127.0.0.3");
    ASSERT_TRUE(eventually([&] { return other.get("/readyz").status == 200; }, milliseconds(10000)));
    for (int i = 0; i < 20; ++i)
        ASSERT_EQ(guesser.get("/i/AAAAA-AAAAA").status, 404);
    EXPECT_EQ(guesser.get("/i/AAAAA-AAAAA").status, 429);
    EXPECT_EQ(other.get("/i/AAAAA-AAAAA").status, 404) << "counted for the guesser, not for HAProxy";
    a->stop(SIGKILL);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(other.get("/healthz").status, 200);
}

// Either outage fails readiness and refuses hearts (never acknowledged) while streams stay open; both
// pass without a restart.
TEST_F(ClusterTest, BusAndDatabaseOutagesFailReadinessRefuseHeartsKeepStreamsAndPass)
{
    auto [sender, receiver] = quickUsers(*viaA, "sender", "receiver");
    auto contact = addContact(*viaA, sender, receiver);
    auto stream = streamOn(b->port(), receiver.idToken);
    EXPECT_EQ(viaA->get("/readyz").status, 200);

    services->stopBus();
    EXPECT_TRUE(becomes(*a, 503));
    EXPECT_EQ(signal(*viaA, sender.idToken, contact), 503);
    services->startBus();
    EXPECT_TRUE(becomes(*a, 200));
    EXPECT_TRUE(becomes(*b, 200));
    ASSERT_EQ(signal(*viaA, sender.idToken, contact), 202);
    EXPECT_EQ(stream->next(), signalFrame) << "B subscribed again after the bus came back";

    services->stopDatabase();
    EXPECT_TRUE(becomes(*a, 503));
    EXPECT_EQ(signal(*viaA, sender.idToken, contact), 503);
    EXPECT_EQ(viaA->get("/healthz").status, 200) << "the process lives on";
    services->startDatabase();
    EXPECT_TRUE(becomes(*a, 200));
    // Every pooled connection broke with the restart; the first use of each opens it again.
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(viaB->get("/v1/contacts", sender.idToken).status, 200);
    ASSERT_EQ(signal(*viaA, sender.idToken, contact), 202);
    EXPECT_EQ(stream->next(), signalFrame) << "the stream stayed open through both outages";
}

// A start that cannot reach what it needs, or is given a malformed address, ends at once with the reason.
TEST(ClusterStart, RefusesUnreachableBackendsAndMalformedAddresses)
{
    auto* services = ClusterServices::shared();
    if (!services)
        GTEST_SKIP() << ClusterServices::missing();
    auto database = services->freshDatabase();
    auto port = database.substr(database.rfind(':') + 1, database.rfind('/') - database.rfind(':') - 1);
    auto closedPort = std::to_string(bench::freePort());
    const std::string noDatabase = "cannot connect to the database";
    TempDir dir;
    const std::tuple<std::vector<std::string>, int, std::string> cases[] = { // arguments, status, says
        {{"--database", "postgresql://tender@127.0.0.1:" + closedPort + "/tender"}, 1, noDatabase},
        {{"--database", "postgresql://stranger@127.0.0.1:" + port + "/tender"}, 1, noDatabase},
        {{"--database", database, "--bus", "nats://127.0.0.1:" + closedPort}, 1, "cannot connect to the bus"},
        {{"--database", "mysql://127.0.0.1/tender"}, 2, "bad value of --database"},
        {{"--database", "postgresql://[::1"}, 2, "bad value of --database"},
        {{"--database", database, "--bus", "nats://127.0.0.1:port"}, 2, "bad value of --bus"},
        {{"--database", database, "--bus", "http://127.0.0.1:4222"}, 2, "bad value of --bus"},
        {{"--bus", services->busUrl()}, 2, "--bus needs --database"},
    };
    for (const auto& [args, status, says] : cases) {
        auto [ended, log] = ServerProcess::runExpectingExit(dir.path() / "data", args);
        EXPECT_EQ(ended, status) << args.back();
        EXPECT_NE(log.find(says), std::string::npos) << log;
    }
}
