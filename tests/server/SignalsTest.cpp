#include "support/ServerTest.h"

namespace tender::testing {
namespace {

using SignalsTest = ServerTest;

TEST_F(SignalsTest, SomeoneInTheWorldIsChosenAmongThoseWhoAcceptOncePerHour)
{
    auto sender = quickUser(*http, "sender");
    auto open = quickUser(*http, "open");
    auto closed = quickUser(*http, "closed");
    auto senderStream = readyStream(sender);
    auto openStream = readyStream(open);
    auto closedStream = readyStream(closed, "?anyone=false");

    ASSERT_EQ(signalAnyone(*http, sender.idToken), 202);
    EXPECT_EQ(openStream->next(), signalFrame);
    EXPECT_EQ(closedStream->next(quiet), std::nullopt);
    EXPECT_EQ(senderStream->next(quiet), std::nullopt) << "never to the sender";

    EXPECT_EQ(signalAnyone(*http, sender.idToken), 429);
    EXPECT_EQ(openStream->next(quiet), std::nullopt);
    EXPECT_EQ(signalAnyone(*http, open.idToken), 202) << "the limit is per sender";
}

TEST_F(SignalsTest, WithNobodyListeningTheHeartWaitsForTheNextToConnect)
{
    auto sender = quickUser(*http, "sender");
    auto late = quickUser(*http, "late");
    auto refusing = quickUser(*http, "refusing");
    auto senderStream = readyStream(sender);
    ASSERT_EQ(signalAnyone(*http, sender.idToken), 202);

    EXPECT_EQ(readyStream(refusing, "?anyone=false")->next(quiet), std::nullopt);
    auto lateStream = readyStream(late);
    EXPECT_EQ(lateStream->next(), signalFrame);
    EXPECT_EQ(readyStream(late)->next(quiet), std::nullopt) << "a waiting heart is delivered once";
}

TEST_F(SignalsTest, BurstsToOnePersonAreLimited)
{
    auto sender = quickUser(*http, "sender");
    auto toA = addContact(*http, sender, quickUser(*http, "a"));
    auto toB = addContact(*http, sender, quickUser(*http, "b"));
    int accepted = 0;
    for (int i = 0; i < 40; ++i)
        accepted += signal(*http, toA, sender.idToken) == 202;
    EXPECT_GE(accepted, 30);
    EXPECT_LE(accepted, 35);
    EXPECT_EQ(signal(*http, toB, sender.idToken), 202) << "another person is not affected";
}

TEST_F(SignalsTest, DevicesSendAsTheirOwnerUntilRevoked)
{
    auto owner = quickUser(*http, "owner");
    auto friendUser = quickUser(*http, "friend");
    auto contact = addContact(*http, owner, friendUser);
    auto friendStream = readyStream(friendUser);
    auto button = pairDevice(*http, owner, {"send"});
    auto lamp = pairDevice(*http, owner, {"receive"});

    auto buttonStream = deviceStream(button.token);
    EXPECT_EQ(signal(*http, contact, button.token), 202);
    EXPECT_EQ(friendStream->next(), signalFrame);
    EXPECT_EQ(signal(*http, contact, lamp.token), 403);
    EXPECT_EQ(signalAnyone(*http, button.token), 403);
    EXPECT_EQ(friendStream->next(quiet), std::nullopt);

    auto devices = http->get("/v1/devices", owner.idToken).json();
    for (const auto& d : devices.at("devices").as_array()) {
        auto seen = d.at("last_seen_at");
        auto at = seen.is_string() ? std::string(seen.as_string()) : "";
        if (d.at("id") == json::value(button.id))
            EXPECT_TRUE(at.ends_with("Z") && at.find('.') != std::string::npos) << seen;
        else
            EXPECT_TRUE(seen.is_null());
    }

    EXPECT_EQ(http->del("/v1/devices/" + button.id, owner.idToken).status, 204);
    EXPECT_TRUE(buttonStream->closedWithin(milliseconds(3000)));
    EXPECT_EQ(signal(*http, contact, button.token), 401);
    EXPECT_EQ(upgrade("/v1/device/stream", button.token), 401);
}

}
}
