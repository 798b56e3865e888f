#include "support/ClusterTest.h"
#include <thread>

namespace tender::testing {
namespace {

namespace json = boost::json;
constexpr auto quiet = milliseconds(400);
const std::string signalFrame = R"({"type":"event","event":{"type":"signal","v":1}})";
const json::object toAnyone{{"type", "signal"}, {"to", {{"anyone", true}}}};

json::object toContact(const std::string& id)
{
    return {{"type", "signal"}, {"to", {{"contact", id}}}};
}

std::string text(const json::value& v)
{
    return v.is_string() ? std::string(v.as_string()) : std::string();
}

TEST_F(ClusterTest, AHeartThroughEitherNodeReachesStreamsOnBoth)
{
    auto sender = quickUser(*viaA, "sender");
    auto receiver = quickUser(*viaB, "receiver");
    auto contact = addContact(*viaB, sender, receiver); // a token signed by A, accepted by B
    auto onA = readyStream(*a, receiver);
    auto onB = readyStream(*b, receiver);
    auto senderOnB = readyStream(*b, sender);
    for (auto* node : {viaA.get(), viaB.get()}) {
        ASSERT_EQ(node->post("/v1/events", toContact(contact), sender.idToken).status, 202);
        for (auto* stream : {onA.get(), onB.get()}) {
            EXPECT_EQ(stream->next(), signalFrame);
            EXPECT_EQ(stream->next(quiet), std::nullopt) << "exactly once";
        }
    }
    viaA->patch("/v1/contacts/" + contact, {{"close", true}}, sender.idToken);
    EXPECT_EQ(senderOnB->next(), R"({"type":"sync"})") << "a change through A reaches the sender's stream on B";
}

TEST_F(ClusterTest, ARemovalAnsweredByOneNodeHoldsOnTheOtherAtOnce)
{
    auto owner = quickUser(*viaA, "owner");
    auto other = quickUser(*viaA, "other");
    auto leaving = quickUser(*viaA, "leaving");
    auto contact = addContact(*viaA, owner, other);
    auto toLeaving = addContact(*viaA, owner, leaving);
    ASSERT_EQ(viaA->post("/v1/events", toContact(contact), owner.idToken).status, 202);
    ASSERT_EQ(viaB->del("/v1/contacts/" + contact, owner.idToken).status, 204);
    EXPECT_EQ(viaA->post("/v1/events", toContact(contact), owner.idToken).status, 404);

    auto paired = viaA->post("/v1/devices", {{"name", "Лампа"}, {"kind", "custom"}, {"capabilities", {"receive"}}},
        other.idToken);
    auto lamp = WsClient::open(a->port(), "/v1/device/stream", text(paired.json().at("token")));
    ASSERT_EQ(lamp.refusedStatus, 101);
    EXPECT_EQ(lamp.client->next(), R"({"type":"ready"})");
    ASSERT_EQ(viaB->del("/v1/devices/" + text(paired.json().at("device").at("id")), other.idToken).status, 204);
    EXPECT_TRUE(lamp.client->closedWithin(milliseconds(3000))) << "a device removed through B loses its stream on A";

    auto leavingOnA = readyStream(*a, leaving);
    ASSERT_EQ(viaA->post("/v1/events", toContact(toLeaving), owner.idToken).status, 202);
    ASSERT_EQ(viaB->del("/v1/me", leaving.idToken).status, 204);
    EXPECT_TRUE(leavingOnA->closedWithin(milliseconds(3000)));
    EXPECT_EQ(viaA->get("/v1/me", leaving.idToken).status, 401);
    EXPECT_EQ(viaA->post("/v1/events", toContact(toLeaving), owner.idToken).status, 404);
}

TEST_F(ClusterTest, TheRandomHeartCrossesNodesAndItsHourHoldsOnEvery)
{
    auto early = quickUser(*viaA, "early");
    auto sender = quickUser(*viaA, "sender");
    auto open = quickUser(*viaB, "open");
    auto closed = quickUser(*viaB, "closed");
    auto closedStream = readyStream(*b, closed, "?anyone=false");
    ASSERT_EQ(viaA->post("/v1/events", toAnyone, early.idToken).status, 202) << "nobody online: the heart waits";

    auto openStream = readyStream(*b, open);
    EXPECT_EQ(openStream->next(), signalFrame) << "the waiting heart, kept by A, reaches a stream on B";
    auto senderStream = readyStream(*a, sender);
    ASSERT_EQ(viaA->post("/v1/events", toAnyone, sender.idToken).status, 202);
    EXPECT_EQ(openStream->next(), signalFrame);
    EXPECT_EQ(closedStream->next(quiet), std::nullopt);
    EXPECT_EQ(senderStream->next(quiet), std::nullopt) << "never to the sender";
    EXPECT_EQ(viaB->post("/v1/events", toAnyone, sender.idToken).status, 429) << "once an hour, whichever node";
    EXPECT_EQ(viaA->post("/v1/events", toAnyone, early.idToken).status, 429);
}

TEST_F(ClusterTest, StreamsOfAKilledNodeComeBackOnTheOtherAndARestartedNodeFindsEveryAccount)
{
    auto owner = signUp(*viaA, uniqueEmail("owner"));
    auto friendUser = quickUser(*viaB, "friend");
    auto contact = addContact(*viaA, owner, friendUser, "Оля");
    auto stream = readyStream(*a, friendUser);
    a->kill();
    EXPECT_TRUE(stream->closedWithin(milliseconds(3000)));
    stream = readyStream(*b, friendUser); // where the balancer sends the app's next attempt
    ASSERT_EQ(viaB->post("/v1/events", toContact(contact), owner.idToken).status, 202);
    EXPECT_EQ(stream->next(), signalFrame);

    b->stop();
    a = startNode("a2");
    viaA = std::make_unique<HttpClient>(a->port());
    auto signedIn = viaA->post(identityPath("signInWithPassword"),
        {{"email", owner.email}, {"password", "secret-pass"}, {"returnSecureToken", true}});
    ASSERT_EQ(signedIn.status, 200) << signedIn.body;
    auto contacts = viaA->get("/v1/contacts", text(signedIn.json().at("idToken"))).json().at("contacts").as_array();
    ASSERT_EQ(contacts.size(), 1u);
    EXPECT_EQ(text(contacts[0].at("label")), "Оля");
    EXPECT_EQ(viaA->get("/v1/me", friendUser.idToken).status, 200) << "tokens signed before the restart";
}

TEST_F(ClusterTest, FailedSignInsCountOnEveryNode)
{
    auto email = uniqueEmail("gleb");
    signUp(*viaA, email, "right-password");
    auto attempt = [&](HttpClient& node, const std::string& password) {
        return node.post(identityPath("signInWithPassword"),
            {{"email", email}, {"password", password}, {"returnSecureToken", true}});
    };
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(attempt(i % 2 ? *viaA : *viaB, "wrong-" + std::to_string(i)).error(), "INVALID_LOGIN_CREDENTIALS");
    EXPECT_TRUE(attempt(*viaA, "right-password").error().starts_with("TOO_MANY_ATTEMPTS_TRY_LATER"));
}

TEST_F(ClusterTest, ABusOutageFailsReadinessRefusesHeartsKeepsStreamsAndPasses)
{
    auto sender = quickUser(*viaA, "sender");
    auto receiver = quickUser(*viaA, "receiver");
    auto contact = addContact(*viaA, sender, receiver);
    auto stream = readyStream(*b, receiver);
    EXPECT_EQ(viaA->get("/readyz").status, 200);

    services->stopBus();
    EXPECT_TRUE(becomes(*a, 503));
    EXPECT_EQ(viaA->post("/v1/events", toContact(contact), sender.idToken).status, 503) << "never acknowledged";
    EXPECT_FALSE(stream->closedWithin(milliseconds(0)));

    services->startBus();
    EXPECT_TRUE(becomes(*a, 200));
    EXPECT_TRUE(becomes(*b, 200));
    ASSERT_EQ(viaA->post("/v1/events", toContact(contact), sender.idToken).status, 202);
    EXPECT_EQ(stream->next(), signalFrame) << "B subscribed again after the bus came back";
}

TEST_F(ClusterTest, ADatabaseOutageFailsReadinessAndRequestsUntilItIsBackWithoutARestart)
{
    auto owner = quickUser(*viaA, "owner");
    auto other = quickUser(*viaA, "other");
    auto contact = addContact(*viaA, owner, other);
    auto stream = readyStream(*b, other);
    services->stopDatabase();
    EXPECT_TRUE(becomes(*a, 503));
    auto refused = viaA->post("/v1/events", toContact(contact), owner.idToken);
    EXPECT_EQ(refused.status, 503) << refused.body;
    EXPECT_EQ(viaA->get("/healthz").status, 200) << "the process lives on";

    services->startDatabase();
    EXPECT_TRUE(becomes(*a, 200));
    // Every pooled connection broke with the restart; the first use of each opens it again.
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(viaB->get("/v1/contacts", owner.idToken).status, 200);
    ASSERT_EQ(viaA->post("/v1/events", toContact(contact), owner.idToken).status, 202);
    EXPECT_EQ(stream->next(), signalFrame) << "the stream stayed open through the outage";
}

// A start that cannot reach what it needs, or is given a malformed address, ends at once with the reason.
TEST(ClusterStart, RefusesUnreachableBackendsAndMalformedAddresses)
{
    auto* services = ClusterServices::shared();
    if (!services)
        GTEST_SKIP() << ClusterServices::missing();
    auto database = services->freshDatabase();
    auto port = database.substr(database.rfind(':') + 1, database.rfind('/') - database.rfind(':') - 1);
    TempDir dir;
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string says;
    } cases[] = {
        {{"--database", "postgresql://tender@127.0.0.1:" + std::to_string(freeLoopbackPort()) + "/tender"}, 1,
            "cannot connect to the database"},
        {{"--database", "postgresql://stranger@127.0.0.1:" + port + "/tender"}, 1, "cannot connect to the database"},
        {{"--database", database, "--bus", "nats://127.0.0.1:" + std::to_string(freeLoopbackPort())}, 1,
            "cannot connect to the bus"},
        {{"--database", "mysql://127.0.0.1/tender"}, 2, "bad value of --database"},
        {{"--database", "postgresql://[::1"}, 2, "bad value of --database"},
        {{"--database", database, "--bus", "nats://127.0.0.1:port"}, 2, "bad value of --bus"},
        {{"--database", database, "--bus", "http://127.0.0.1:4222"}, 2, "bad value of --bus"},
        {{"--bus", services->busUrl()}, 2, "--bus needs --database"},
    };
    for (const auto& c : cases) {
        auto ended = ServerProcess::runExpectingExit(dir.path() / "data", c.args);
        EXPECT_EQ(ended.status, c.status) << c.args.back();
        EXPECT_NE(ended.log.find(c.says), std::string::npos) << ended.log;
    }
}

}
}
