#include "support/ServerTest.h"

namespace tender::testing {
namespace {

using RequestRulesTest = ServerTest;

TEST_F(RequestRulesTest, BadRequestsAnswerWithAnErrorAndChangeNothing)
{
    auto me = quickUser(*http, "me");
    auto other = quickUser(*http, "other");
    auto code = inviteCodeOf(*http, other);
    struct Case {
        std::string method, path, body;
        int status;
    } cases[] = {
        {"POST", "/v1/contacts", "{\"code\": \"" + code + "\", \"label\": ", 400},
        {"POST", "/v1/contacts", "[1, 2]", 400},
        {"POST", "/v1/contacts", "{\"code\": 42, \"label\": \"X\"}", 400},
        {"POST", "/v1/contacts", "{\"code\": \"" + code + "\", \"label\": [\"X\"]}", 400},
        {"POST", "/v1/contacts", "{\"code\": \"" + code + "\", \"label\": \"" + std::string(70 * 1024, 'x') + "\"}", 413},
        {"POST", "/v1/contacts", "{\"code\": \"" + code + "\", \"label\": \"\xff\xfe\"}", 400},
        {"POST", "/v1/events", "{\"type\": \"wave\", \"to\": {\"anyone\": true}}", 400},
        {"POST", "/v1/events", "{\"type\": \"signal\", \"to\": {\"anyone\": false}}", 400},
        {"POST", "/v1/events", "{\"type\": \"signal\", \"to\": {\"contact\": 7}}", 400},
        {"POST", "/v1/events", "{\"type\": \"signal\"}", 400},
        {"GET", "/v1/nothing", "", 404},
        {"PUT", "/v1/contacts", "{}", 405},
        {"DELETE", "/v1/contacts", "", 405},
        {"GET", "/v1/stream", "", 426},
    };
    for (const auto& c : cases) {
        auto result = http->send(c.method, c.path, c.body, me.idToken);
        EXPECT_EQ(result.status, c.status) << c.method << " " << c.path << " " << c.body.substr(0, 60);
        EXPECT_FALSE(result.error().empty()) << result.body;
    }
    EXPECT_TRUE(http->get("/v1/contacts", me.idToken).json().at("contacts").as_array().empty());
    EXPECT_EQ(http->get("/healthz").status, 200);
}

TEST_F(RequestRulesTest, EveryCallNeedsAValidUserToken)
{
    auto me = quickUser(*http);
    auto paired = http->post("/v1/devices", {{"name", "Лампа"}, {"kind", "custom"}, {"capabilities", {"send"}}}, me.idToken);
    auto deviceToken = text(paired.json().at("token"));
    for (const auto& path : {"/v1/me", "/v1/contacts", "/v1/devices"}) {
        EXPECT_EQ(http->get(path).status, 401) << path;
        EXPECT_EQ(http->get(path, "not-a-token").status, 401) << path;
        EXPECT_EQ(http->get(path, me.refreshToken).status, 401) << path;
        EXPECT_EQ(http->get(path, deviceToken).status, 403) << path;
    }
    EXPECT_EQ(http->del("/v1/me", deviceToken).status, 403);
    EXPECT_EQ(http->get("/v1/me", me.idToken).status, 200);
}

}
}
