#include "support/ServerTest.h"

namespace tender::testing {
namespace {

using DevicesTest = ServerTest;

json::object deviceBody(const std::string& name, json::array capabilities)
{
    return {{"name", name}, {"kind", "custom"}, {"capabilities", std::move(capabilities)}};
}

TEST_F(DevicesTest, PairingShowsTheTokenOnceAndValidatesTheRequest)
{
    auto me = quickUser(*http);
    auto paired = http->post("/v1/devices", deviceBody("  Котик на полке ", {"receive", "send"}), me.idToken);
    ASSERT_EQ(paired.status, 201) << paired.body;
    auto device = paired.json().at("device").as_object();
    EXPECT_EQ(text(device["name"]), "Котик на полке");
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
}

TEST_F(DevicesTest, TenDevicesAtMostAndOthersCannotRemoveThem)
{
    auto me = quickUser(*http, "me");
    auto first = pairDevice(*http, me, {"send"});
    for (int i = 1; i < 10; ++i)
        pairDevice(*http, me, {"send"});
    EXPECT_EQ(http->post("/v1/devices", deviceBody("D10", {"send"}), me.idToken).status, 409);
    EXPECT_EQ(http->del("/v1/devices/" + first.id, quickUser(*http, "other").idToken).status, 404);
    EXPECT_EQ(http->del("/v1/devices/" + first.id, me.idToken).status, 204);
    EXPECT_EQ(http->post("/v1/devices", deviceBody("D10", {"send"}), me.idToken).status, 201);
}

}
}
