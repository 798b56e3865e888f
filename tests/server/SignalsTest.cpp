#include "support/ServerTest.h"

namespace tender::testing {
namespace {

using SignalsTest = ServerTest;
constexpr auto quiet = milliseconds(400);
const std::string signalFrame = R"({"type":"event","event":{"type":"signal","v":1}})";
const json::object toAnyone{{"type", "signal"}, {"to", {{"anyone", true}}}};

TEST_F(SignalsTest, SomeoneInTheWorldIsChosenAmongThoseWhoAcceptOncePerHour)
{
    auto sender = quickUser(*http, "sender");
    auto open = quickUser(*http, "open");
    auto closed = quickUser(*http, "closed");
    auto senderStream = readyStream(sender);
    auto openStream = readyStream(open);
    auto closedStream = readyStream(closed, "?anyone=false");

    ASSERT_EQ(http->post("/v1/events", toAnyone, sender.idToken).status, 202);
    EXPECT_EQ(openStream->next(), signalFrame);
    EXPECT_EQ(closedStream->next(quiet), std::nullopt);
    EXPECT_EQ(senderStream->next(quiet), std::nullopt) << "never to the sender";

    auto again = http->post("/v1/events", toAnyone, sender.idToken);
    EXPECT_EQ(again.status, 429);
    EXPECT_EQ(openStream->next(quiet), std::nullopt);
    EXPECT_EQ(http->post("/v1/events", toAnyone, open.idToken).status, 202) << "the limit is per sender";
}

TEST_F(SignalsTest, WithNobodyListeningTheHeartWaitsForTheNextToConnect)
{
    auto sender = quickUser(*http, "sender");
    auto late = quickUser(*http, "late");
    auto refusing = quickUser(*http, "refusing");
    auto senderStream = readyStream(sender);
    ASSERT_EQ(http->post("/v1/events", toAnyone, sender.idToken).status, 202);

    auto refusingStream = readyStream(refusing, "?anyone=false");
    EXPECT_EQ(refusingStream->next(quiet), std::nullopt);
    auto lateStream = readyStream(late);
    EXPECT_EQ(lateStream->next(), signalFrame);
    auto secondStream = readyStream(late);
    EXPECT_EQ(secondStream->next(quiet), std::nullopt) << "a waiting heart is delivered once";
}

TEST_F(SignalsTest, BurstsToOnePersonAreLimited)
{
    auto sender = quickUser(*http, "sender");
    auto a = quickUser(*http, "a");
    auto b = quickUser(*http, "b");
    auto toA = addContact(*http, sender, a);
    auto toB = addContact(*http, sender, b);
    auto signal = [&](const std::string& id) {
        return http->post("/v1/events", {{"type", "signal"}, {"to", {{"contact", id}}}}, sender.idToken).status;
    };
    int accepted = 0;
    int limited = 0;
    for (int i = 0; i < 40; ++i)
        (signal(toA) == 202 ? accepted : limited) += 1;
    EXPECT_GE(accepted, 30);
    EXPECT_GE(limited, 5);
    EXPECT_EQ(signal(toB), 202) << "another person is not affected";
}

TEST_F(SignalsTest, DevicesSendAsTheirOwnerUntilRevoked)
{
    auto owner = quickUser(*http, "owner");
    auto friendUser = quickUser(*http, "friend");
    auto contact = addContact(*http, owner, friendUser);
    auto friendStream = readyStream(friendUser);
    auto pair = [&](json::array capabilities) {
        auto paired = http->post("/v1/devices", {{"name", "Кнопка"}, {"kind", "custom"}, {"capabilities", capabilities}},
            owner.idToken);
        return std::make_pair(text(paired.json().at("device").at("id")), text(paired.json().at("token")));
    };
    auto [buttonId, buttonToken] = pair({"send"});
    auto [lampId, lampToken] = pair({"receive"});
    json::object toFriend{{"type", "signal"}, {"to", {{"contact", contact}}}};

    auto buttonStream = WsClient::open(server->port(), "/v1/device/stream", buttonToken);
    ASSERT_EQ(buttonStream.refusedStatus, 101);
    EXPECT_EQ(buttonStream.client->next(), R"({"type":"ready"})");
    EXPECT_EQ(http->post("/v1/events", toFriend, buttonToken).status, 202);
    EXPECT_EQ(friendStream->next(), R"({"type":"event","event":{"type":"signal","v":1}})");
    EXPECT_EQ(http->post("/v1/events", toFriend, lampToken).status, 403);
    EXPECT_EQ(http->post("/v1/events", toAnyone, buttonToken).status, 403);
    EXPECT_EQ(friendStream->next(quiet), std::nullopt);

    auto devices = http->get("/v1/devices", owner.idToken).json().at("devices").as_array();
    for (const auto& d : devices) {
        auto seen = d.at("last_seen_at");
        if (text(d.at("id")) == buttonId)
            EXPECT_TRUE(seen.is_string() && text(seen).ends_with("Z") && text(seen).find('.') != std::string::npos) << seen;
        else
            EXPECT_TRUE(seen.is_null());
    }

    EXPECT_EQ(http->del("/v1/devices/" + buttonId, owner.idToken).status, 204);
    EXPECT_TRUE(buttonStream.client->closedWithin(milliseconds(3000)));
    EXPECT_EQ(http->post("/v1/events", toFriend, buttonToken).status, 401);
    EXPECT_EQ(WsClient::open(server->port(), "/v1/device/stream", buttonToken).refusedStatus, 401);
}

}
}
