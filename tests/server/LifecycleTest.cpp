#include "support/ServerTest.h"
#include <sys/stat.h>

namespace tender::testing {
namespace {

using LifecycleTest = ServerTest;

TEST_F(LifecycleTest, DeletingAnAccountRemovesItFromOtherListsAndClosesItsStreams)
{
    auto leaving = quickUser(*http, "leaving");
    auto keeper = quickUser(*http, "keeper");
    addContact(*http, keeper, leaving, "Уходит");
    addContact(*http, keeper, quickUser(*http, "stays"), "Остаётся");
    addContact(*http, leaving, keeper, "Хранитель");
    pairDevice(*http, leaving, {"receive"});
    auto keeperStream = readyStream(keeper);
    auto leavingStream = readyStream(leaving);

    ASSERT_EQ(http->del("/v1/me", leaving.idToken).status, 204);
    EXPECT_EQ(keeperStream->next(), syncFrame);
    EXPECT_TRUE(leavingStream->closedWithin(milliseconds(3000)));
    auto list = http->get("/v1/contacts", keeper.idToken);
    EXPECT_EQ(list.field("/contacts/0/label"), "Остаётся");
    EXPECT_EQ(list.json().at("contacts").as_array().size(), 1u);
    EXPECT_EQ(list.json().at("contacts").at(0).at("position"), 0);
    EXPECT_EQ(http->get("/v1/me", leaving.idToken).status, 401);
    EXPECT_EQ(upgrade("/v1/stream", leaving.idToken), 401);
    EXPECT_EQ(http->post(identityPath("signUp"), passwordBody(leaving.email, "secret-pass")).status, 200)
        << "the address is free again";
}

TEST_F(LifecycleTest, ARestartKeepsEverythingAndStopsCleanly)
{
    auto me = quickUser(*http, "me");
    auto id = addContact(*http, me, quickUser(*http, "other"), "Оля");
    http->patch("/v1/contacts/" + id, {{"close", true}}, me.idToken);
    auto device = pairDevice(*http, me, {"receive"});
    auto stream = readyStream(me);
    auto inviteBefore = inviteCodeOf(*http, me);

    EXPECT_EQ(restart(), 0) << "SIGTERM ends the process with status 0";
    EXPECT_TRUE(stream->closedWithin(milliseconds(3000)));

    EXPECT_EQ(http->get("/v1/me", me.idToken).status, 200) << "identity tokens outlive a restart";
    me.idToken = refresh(*http, me.refreshToken).field("/id_token");
    EXPECT_EQ(inviteCodeOf(*http, me), inviteBefore);
    auto contacts = http->get("/v1/contacts", me.idToken).json().at("contacts").as_array();
    ASSERT_EQ(contacts.size(), 1u);
    EXPECT_EQ(contacts[0].at("label"), "Оля");
    EXPECT_EQ(contacts[0].at("close"), true);
    EXPECT_EQ(upgrade("/v1/device/stream", device.token), 101);

    if (onCluster())
        return; // the key lives in the database
    struct stat info{};
    ASSERT_EQ(::stat((server->dataDir() / "signing.key").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

}
}
