#include "support/ServerTest.h"
#include <thread>

using namespace tender::testing;

using StreamTest = ServerTest;

TEST_F(StreamTest, ASignalReachesEveryStreamOfThePersonAndChangesSyncOnlyTheOwnersStreams)
{
    auto [sender, receiver] = quickUsers(*http, "sender", "receiver");
    auto senderStream = readyStream(sender);
    auto contact = addContact(*http, sender, receiver);
    EXPECT_EQ(senderStream->next(), syncFrame);
    auto lamp = deviceStream(pairDevice(*http, receiver, {"receive"}).token);
    auto button = deviceStream(pairDevice(*http, receiver, {"send"}).token);
    auto laptop = readyStream(receiver);
    auto desktop = readyStream(receiver, "?anyone=false");

    ASSERT_EQ(signal(*http, sender.idToken, contact), 202);
    for (auto* s : {laptop.get(), desktop.get(), lamp.get()}) {
        EXPECT_EQ(s->next(), signalFrame);
        EXPECT_EQ(s->next(quiet), std::nullopt) << "exactly once";
    }
    EXPECT_EQ(button->next(quiet), std::nullopt);
    http->patch("/v1/contacts/" + contact, {{"close", true}}, sender.idToken);
    EXPECT_EQ(senderStream->next(), syncFrame) << "and not the signal";
    http->del("/v1/contacts/" + contact, sender.idToken);
    EXPECT_EQ(senderStream->next(), syncFrame);
    EXPECT_EQ(laptop->next(quiet), std::nullopt) << "another person's changes";
}

TEST_F(StreamTest, SilentStreamsAreClosedAndPingingOnesStayAndGetPongs)
{
    start({"--dev-signin", "--stream-silence", "2"});
    auto me = quickUser(*http);
    auto silent = readyStream(me);
    auto lively = readyStream(me);
    for (int i = 0; i < 8; ++i) {
        lively->ping();
        std::this_thread::sleep_for(milliseconds(500));
    }
    EXPECT_TRUE(silent->closedWithin());
    EXPECT_FALSE(lively->closedWithin(milliseconds(0)));
    EXPECT_GE(lively->pongs(), 7);
}
