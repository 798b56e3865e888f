#include "support/ServerTest.h"
#include <sys/stat.h>

namespace tender::testing {
namespace {

using LifecycleTest = ServerTest;

TEST_F(LifecycleTest, DeletingAnAccountRemovesItFromOtherListsAndClosesItsStreams)
{
    auto leaving = quickUser(*http, "leaving");
    auto keeper = quickUser(*http, "keeper");
    auto stays = quickUser(*http, "stays");
    addContact(*http, keeper, leaving, "Уходит");
    addContact(*http, keeper, stays, "Остаётся");
    addContact(*http, leaving, keeper, "Хранитель");
    http->post("/v1/devices", {{"name", "Лампа"}, {"kind", "custom"}, {"capabilities", {"receive"}}}, leaving.idToken);
    auto keeperStream = readyStream(keeper);
    auto leavingStream = readyStream(leaving);

    ASSERT_EQ(http->del("/v1/me", leaving.idToken).status, 204);
    EXPECT_EQ(keeperStream->next(), R"({"type":"sync"})");
    EXPECT_TRUE(leavingStream->closedWithin(milliseconds(3000)));
    auto list = http->get("/v1/contacts", keeper.idToken).json().at("contacts").as_array();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(text(list[0].at("label")), "Остаётся");
    EXPECT_EQ(list[0].at("position"), 0);
    EXPECT_EQ(http->get("/v1/me", leaving.idToken).status, 401);
    EXPECT_EQ(WsClient::open(server->port(), "/v1/stream", leaving.idToken).refusedStatus, 401);

    auto again = http->post(identityPath("signUp"),
        {{"email", leaving.email}, {"password", "secret-pass"}, {"returnSecureToken", true}});
    EXPECT_EQ(again.status, 200) << "the address is free again";
}

TEST_F(LifecycleTest, ARestartKeepsEverythingAndStopsCleanly)
{
    auto me = quickUser(*http, "me");
    auto other = quickUser(*http, "other");
    auto id = addContact(*http, me, other, "Оля");
    http->patch("/v1/contacts/" + id, {{"close", true}}, me.idToken);
    auto paired = http->post("/v1/devices", {{"name", "Лампа"}, {"kind", "custom"}, {"capabilities", {"receive"}}}, me.idToken);
    auto deviceToken = text(paired.json().at("token"));
    auto stream = readyStream(me);
    auto inviteBefore = http->get("/v1/me", me.idToken).json().at("invite_url");

    EXPECT_EQ(restart(), 0) << "SIGTERM ends the process with status 0";
    EXPECT_TRUE(stream->closedWithin(milliseconds(3000)));

    EXPECT_EQ(http->get("/v1/me", me.idToken).status, 200) << "identity tokens outlive a restart";
    auto refreshed = refresh(*http, me.refreshToken);
    ASSERT_EQ(refreshed.status, 200) << refreshed.body;
    auto token = text(refreshed.json().at("id_token"));
    auto me2 = http->get("/v1/me", token).json();
    EXPECT_EQ(me2.at("invite_url").as_string().subview(me2.at("invite_url").as_string().rfind('/')),
        inviteBefore.as_string().subview(inviteBefore.as_string().rfind('/')));
    auto contacts = http->get("/v1/contacts", token).json().at("contacts").as_array();
    ASSERT_EQ(contacts.size(), 1u);
    EXPECT_EQ(text(contacts[0].at("label")), "Оля");
    EXPECT_EQ(contacts[0].at("close"), true);
    EXPECT_EQ(WsClient::open(server->port(), "/v1/device/stream", deviceToken).refusedStatus, 101);

    if (onCluster())
        return; // the key lives in the database
    struct stat info{};
    ASSERT_EQ(::stat((server->dataDir() / "signing.key").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

}
}
