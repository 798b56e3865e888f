#include "support/ServerTest.h"

using namespace tender::testing;

using SignalsTest = ServerTest;

// A heart to anyone waits while nobody else accepts, then goes once to the next who does; never to its
// sender or to those who refuse; one an hour for each sender.
TEST_F(SignalsTest, AHeartToAnyoneGoesOnceToSomeoneElseWhoAccepts)
{
    auto [sender, open, closed] = quickUsers(*http, "sender", "open", "closed");
    auto senderStream = readyStream(sender);
    ASSERT_EQ(signal(*http, sender.idToken), 202);
    auto closedStream = readyStream(closed, "?anyone=false");
    EXPECT_EQ(closedStream->next(quiet), std::nullopt) << "the waiting heart skips who refuses";
    auto openStream = readyStream(open);
    EXPECT_EQ(openStream->next(), signalFrame);
    EXPECT_EQ(readyStream(open)->next(quiet), std::nullopt) << "a waiting heart is delivered once";
    EXPECT_EQ(senderStream->next(quiet), std::nullopt) << "never to the sender";
    EXPECT_EQ(signal(*http, sender.idToken), 429);

    ASSERT_EQ(signal(*http, open.idToken), 202) << "the limit is per sender";
    EXPECT_EQ(senderStream->next(), signalFrame) << "the only other one who accepts";
    EXPECT_EQ(closedStream->next(quiet), std::nullopt);
    EXPECT_EQ(openStream->next(quiet), std::nullopt);
}

// Bursts to one person are limited, and to them only; devices send as their owner until revoked.
TEST_F(SignalsTest, BurstsToOnePersonAreLimitedAndDevicesSendAsTheirOwnerUntilRevoked)
{
    auto [owner, friendUser] = quickUsers(*http, "owner", "friend");
    auto toA = addContact(*http, owner, quickUser(*http, "a"));
    auto contact = addContact(*http, owner, friendUser);
    int accepted = 0;
    for (int i = 0; i < 40; ++i)
        accepted += signal(*http, owner.idToken, toA) == 202;
    EXPECT_GE(accepted, 30);
    EXPECT_LE(accepted, 35);

    auto friendStream = readyStream(friendUser);
    auto button = pairDevice(*http, owner, {"send"});
    auto lamp = pairDevice(*http, owner, {"receive"});
    auto buttonStream = deviceStream(button.token);
    EXPECT_EQ(signal(*http, button.token, contact), 202) << "as the owner, to another person than a";
    EXPECT_EQ(friendStream->next(), signalFrame);
    EXPECT_EQ(signal(*http, lamp.token, contact), 403);
    EXPECT_EQ(signal(*http, button.token), 403);
    EXPECT_EQ(friendStream->next(quiet), std::nullopt);

    auto devices = http->get("/v1/devices", owner.idToken); // in pairing order
    auto seen = devices.field("/devices/0/last_seen_at");
    EXPECT_TRUE(seen.ends_with("Z") && seen.find('.') != std::string::npos) << devices.body;
    EXPECT_TRUE(devices.json().at("devices").at(1).at("last_seen_at").is_null());

    EXPECT_EQ(http->del("/v1/devices/" + button.id, owner.idToken).status, 204);
    EXPECT_TRUE(buttonStream->closedWithin());
    EXPECT_EQ(signal(*http, button.token, contact), 401);
    EXPECT_EQ(upgrade("/v1/device/stream", button.token), 401);
}
