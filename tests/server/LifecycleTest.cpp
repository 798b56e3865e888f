#include "support/ServerTest.h"
#include <sys/stat.h>

using namespace tender::testing;

using LifecycleTest = ServerTest;

// Deleting an account takes it out of every list that held it and closes its streams; a restart keeps
// everything else and stops cleanly.
TEST_F(LifecycleTest, DeletingAnAccountLeavesNothingOfItAndARestartKeepsEverythingElse)
{
    auto [leaving, keeper, second, stays] = quickUsers(*http, "leaving", "keeper", "second", "stays");
    std::string kept; // second's entry for the one who stays
    for (const auto* owner : {&keeper, &second}) {
        addContact(*http, *owner, leaving, "Уходит");
        kept = addContact(*http, *owner, stays, "Остаётся");
    }
    addContact(*http, leaving, keeper, "Хранитель");
    pairDevice(*http, leaving, {"receive"});
    auto keeperStream = readyStream(keeper);
    auto secondStream = readyStream(second);
    auto leavingStream = readyStream(leaving);

    ASSERT_EQ(http->del("/v1/me", leaving.idToken).status, 204);
    EXPECT_TRUE(leavingStream->closedWithin());
    for (const auto* owner : {&keeper, &second}) // each list that held them, renumbered
        EXPECT_EQ(contactLabels(*http, *owner), std::vector<std::string>{"Остаётся"});
    EXPECT_EQ(keeperStream->next(), syncFrame);
    EXPECT_EQ(secondStream->next(), syncFrame);
    EXPECT_EQ(http->get("/v1/me", leaving.idToken).status, 401);
    EXPECT_EQ(upgrade("/v1/stream", leaving.idToken), 401);
    EXPECT_EQ(http->post(identityPath("signUp"), passwordBody(leaving.email, "secret-pass")).status, 200)
        << "the address is free again";

    http->patch("/v1/contacts/" + kept, {{"close", true}}, second.idToken);
    auto device = pairDevice(*http, second, {"receive", "send"});
    deviceStream(device.token);
    http->get("/v1/devices", second.idToken); // writes the device's last contact
    auto inviteBefore = inviteCodeOf(*http, second);

    EXPECT_EQ(server->stop(), 0) << "SIGTERM ends the process with status 0";
    start();
    EXPECT_TRUE(secondStream->closedWithin());

    EXPECT_EQ(http->get("/v1/me", second.idToken).status, 200) << "identity tokens outlive a restart";
    second.idToken = refresh(*http, second.refreshToken).field("/id_token");
    EXPECT_EQ(inviteCodeOf(*http, second), inviteBefore);
    EXPECT_EQ(contactLabels(*http, second), std::vector<std::string>{"Остаётся"});
    EXPECT_EQ(http->get("/v1/contacts", second.idToken).json().at("contacts").at(0).at("close"), true);
    auto devices = http->get("/v1/devices", second.idToken);
    EXPECT_EQ(devices.json().at("devices").at(0).at("capabilities"), (json::array{"receive", "send"}));
    EXPECT_FALSE(devices.field("/devices/0/last_seen_at").empty()) << devices.body;
    EXPECT_EQ(upgrade("/v1/device/stream", device.token), 101);

    if (onCluster())
        return; // the key lives in the database
    struct stat info{};
    ASSERT_EQ(::stat((server->dataDir() / "signing.key").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}
