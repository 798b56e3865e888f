#include "support/ServerTest.h"
#include <thread>

namespace tender::testing {
namespace {

using StreamTest = ServerTest;

TEST_F(StreamTest, ASignalReachesEveryStreamOfThePersonAndTheirReceivingDevices)
{
    auto sender = quickUser(*http, "sender");
    auto receiver = quickUser(*http, "receiver");
    auto contact = addContact(*http, sender, receiver);
    auto lamp = deviceStream(pairDevice(*http, receiver, {"receive"}).token);
    auto button = deviceStream(pairDevice(*http, receiver, {"send"}).token);
    auto laptop = readyStream(receiver);
    auto desktop = readyStream(receiver, "?anyone=false");
    auto senderStream = readyStream(sender);

    ASSERT_EQ(signal(*http, contact, sender.idToken), 202);
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
    EXPECT_EQ(mine->next(), syncFrame);
    http->patch("/v1/contacts/" + id, {{"close", true}}, me.idToken);
    EXPECT_EQ(mine->next(), syncFrame);
    http->del("/v1/contacts/" + id, me.idToken);
    EXPECT_EQ(mine->next(), syncFrame);
    EXPECT_EQ(theirs->next(quiet), std::nullopt);
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
    EXPECT_TRUE(silent->closedWithin(milliseconds(3000)));
    EXPECT_FALSE(lively->closedWithin(milliseconds(0)));
    EXPECT_GE(lively->pongs(), 7);
}

}
}
