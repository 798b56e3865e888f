#include "support/ServerTest.h"

using namespace tender::testing;

using DevicesTest = ServerTest;

// Pairing shows the token once and checks the request; ten devices at most, removable only by their owner.
TEST_F(DevicesTest, PairingShowsTheTokenOnceValidatesAndCapsTheList)
{
    auto me = quickUser(*http);
    auto paired = http->post("/v1/devices", deviceBody("  Котик на полке ", {"receive", "send"}), me.idToken);
    ASSERT_EQ(paired.status, 201) << paired.body;
    auto device = paired.json().at("device").as_object();
    EXPECT_EQ(paired.field("/device/name"), "Котик на полке");
    EXPECT_EQ(device["capabilities"], (json::array{"receive", "send"}));
    EXPECT_TRUE(device["last_seen_at"].is_null());
    EXPECT_FALSE(paired.field("/token").empty());

    auto list = http->get("/v1/devices", me.idToken);
    EXPECT_EQ(list.body.find(paired.field("/token")), std::string::npos);
    EXPECT_EQ(list.json().at("devices").as_array().size(), 1u);

    for (const auto& bad : {deviceBody("", {"receive"}), deviceBody(std::string(65, 'x'), {"receive"}),
             deviceBody("Лампа", {}), deviceBody("Лампа", {"blink"}), deviceBody("Лампа", {1}),
             json::object{{"name", "Лампа"}}})
        EXPECT_EQ(http->post("/v1/devices", bad, me.idToken).status, 400) << json::serialize(bad);
    EXPECT_EQ(http->get("/v1/devices", me.idToken).json().at("devices").as_array().size(), 1u);

    for (int i = 1; i < 10; ++i)
        pairDevice(*http, me, {"send"});
    EXPECT_EQ(http->post("/v1/devices", deviceBody("D10", {"send"}), me.idToken).status, 409);
    auto first = "/v1/devices/" + paired.field("/device/id");
    EXPECT_EQ(http->del(first, quickUser(*http, "other").idToken).status, 404);
    EXPECT_EQ(http->del(first, me.idToken).status, 204);
    EXPECT_EQ(http->post("/v1/devices", deviceBody("D10", {"send"}), me.idToken).status, 201);
}
