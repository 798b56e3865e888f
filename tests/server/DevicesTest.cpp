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
    EXPECT_FALSE(text(paired.json().at("token")).empty());

    auto list = http->get("/v1/devices", me.idToken);
    ASSERT_EQ(list.status, 200);
    EXPECT_EQ(list.body.find(text(paired.json().at("token"))), std::string::npos);
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
    auto other = quickUser(*http, "other");
    std::string firstId;
    for (int i = 0; i < 10; ++i) {
        auto paired = http->post("/v1/devices", deviceBody("D" + std::to_string(i), {"send"}), me.idToken);
        ASSERT_EQ(paired.status, 201) << paired.body;
        if (i == 0)
            firstId = text(paired.json().at("device").at("id"));
    }
    EXPECT_EQ(http->post("/v1/devices", deviceBody("D10", {"send"}), me.idToken).status, 409);
    EXPECT_EQ(http->del("/v1/devices/" + firstId, other.idToken).status, 404);
    EXPECT_EQ(http->del("/v1/devices/" + firstId, me.idToken).status, 204);
    EXPECT_EQ(http->post("/v1/devices", deviceBody("D10", {"send"}), me.idToken).status, 201);
}

}
}
