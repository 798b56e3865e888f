#include "support/ServerTest.h"
#include <thread>

namespace tender::testing {
namespace {

using StreamTest = ServerTest;
constexpr auto quiet = milliseconds(400);
const std::string signalFrame = R"({"type":"event","event":{"type":"signal","v":1}})";

TEST_F(StreamTest, RefusesBadTokensWithUnauthorizedBeforeTheUpgrade)
{
    auto me = quickUser(*http);
    auto paired = http->post("/v1/devices", {{"name", "Лампа"}, {"kind", "custom"}, {"capabilities", {"receive"}}}, me.idToken);
    auto deviceToken = text(paired.json().at("token"));
    EXPECT_EQ(WsClient::open(server->port(), "/v1/stream", "").refusedStatus, 401);
    EXPECT_EQ(WsClient::open(server->port(), "/v1/stream", "garbage").refusedStatus, 401);
    EXPECT_EQ(WsClient::open(server->port(), "/v1/stream", deviceToken).refusedStatus, 401);
    EXPECT_EQ(WsClient::open(server->port(), "/v1/device/stream", me.idToken).refusedStatus, 401);
    EXPECT_EQ(WsClient::open(server->port(), "/v1/stream?anyone=false", me.idToken).refusedStatus, 101);
}

TEST_F(StreamTest, ASignalReachesEveryStreamOfThePersonAndTheirReceivingDevices)
{
    auto sender = quickUser(*http, "sender");
    auto receiver = quickUser(*http, "receiver");
    auto contact = addContact(*http, sender, receiver);
    auto pair = [&](json::array capabilities) {
        auto paired = http->post("/v1/devices", {{"name", "D"}, {"kind", "custom"}, {"capabilities", capabilities}},
            receiver.idToken);
        auto opened = WsClient::open(server->port(), "/v1/device/stream", text(paired.json().at("token")));
        EXPECT_EQ(opened.refusedStatus, 101);
        EXPECT_EQ(opened.client->next(), R"({"type":"ready"})");
        return std::move(opened.client);
    };
    auto lamp = pair({"receive"});
    auto button = pair({"send"});
    auto laptop = readyStream(receiver);
    auto desktop = readyStream(receiver, "?anyone=false");
    auto senderStream = readyStream(sender);

    auto sent = http->post("/v1/events", {{"type", "signal"}, {"to", {{"contact", contact}}}}, sender.idToken);
    ASSERT_EQ(sent.status, 202) << sent.body;
    for (auto* s : {laptop.get(), desktop.get(), lamp.get()}) {
        EXPECT_EQ(s->next(), signalFrame);
        EXPECT_EQ(s->next(quiet), std::nullopt) << "exactly once";
    }
    EXPECT_EQ(button->next(quiet), std::nullopt);
    EXPECT_EQ(senderStream->next(quiet), std::nullopt);
}

TEST_F(StreamTest, ChangesSendSyncToTheUsersOwnStreams)
{
    auto me = quickUser(*http, "me");
    auto other = quickUser(*http, "other");
    auto mine = readyStream(me);
    auto theirs = readyStream(other);
    auto id = addContact(*http, me, other);
    EXPECT_EQ(mine->next(), R"({"type":"sync"})");
    http->patch("/v1/contacts/" + id, {{"close", true}}, me.idToken);
    EXPECT_EQ(mine->next(), R"({"type":"sync"})");
    http->del("/v1/contacts/" + id, me.idToken);
    EXPECT_EQ(mine->next(), R"({"type":"sync"})");
    EXPECT_EQ(theirs->next(quiet), std::nullopt);
}

TEST_F(StreamTest, SilentStreamsAreClosedAndPingingOnesStayAndGetPongs)
{
    server->stop();
    start({"--dev-signin", "--stream-silence", "2"});
    auto me = quickUser(*http);
    auto silent = readyStream(me);
    auto lively = readyStream(me);
    for (int i = 0; i < 8; ++i) {
        lively->ping();
        std::this_thread::sleep_for(milliseconds(500));
    }
    EXPECT_TRUE(silent->closedWithin(milliseconds(3000)));
    EXPECT_FALSE(lively->closedWithin(milliseconds(0)));
    EXPECT_GE(lively->pongs(), 7);
}

}
}
