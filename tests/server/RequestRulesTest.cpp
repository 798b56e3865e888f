#include "support/ServerTest.h"

using namespace tender::testing;

using RequestRulesTest = ServerTest;

// Bad requests answer with an error and change nothing; each call and stream takes only its own kind of
// token, and no forged one.
TEST_F(RequestRulesTest, BadRequestsAndTokensOfAnotherKindAreRefused)
{
    auto me = quickUser(*http, "me");
    auto code = "\"" + inviteCodeOf(*http, quickUser(*http, "other")) + "\"";
    const std::string huge(70 * 1024, 'x');
    const std::tuple<std::string, std::string, std::string, int> cases[] = { // method, path, body, status
        {"POST", "/v1/contacts", "{\"code\": " + code + ", \"label\": ", 400},
        {"POST", "/v1/contacts", "[1, 2]", 400},
        {"POST", "/v1/contacts", "{\"code\": 42, \"label\": \"X\"}", 400},
        {"POST", "/v1/contacts", "{\"code\": " + code + ", \"label\": [\"X\"]}", 400},
        {"POST", "/v1/contacts", "{\"code\": " + code + ", \"label\": \"" + huge + "\"}", 413},
        {"POST", "/v1/contacts", "{\"code\": " + code + ", \"label\": \"\xff\xfe\"}", 400},
        {"POST", "/v1/events", "{\"type\": \"wave\", \"to\": {\"anyone\": true}}", 400},
        {"POST", "/v1/events", "{\"type\": \"signal\", \"to\": {\"anyone\": false}}", 400},
        {"POST", "/v1/events", "{\"type\": \"signal\", \"to\": {\"contact\": 7}}", 400},
        {"POST", "/v1/events", "{\"type\": \"signal\"}", 400},
        {"GET", "/v1/nothing", "", 404},
        {"PUT", "/v1/contacts", "{}", 405},
        {"GET", "/v1/stream", "", 426},
    };
    for (const auto& [method, path, body, status] : cases) {
        auto result = http->send(method, path, body, me.idToken);
        EXPECT_EQ(result.status, status) << method << " " << path << " " << body.substr(0, 60);
        EXPECT_FALSE(result.error().empty()) << result.body;
    }
    EXPECT_EQ(http->get("/v1/contacts", me.idToken).field("/contacts/0/id"), "");
    EXPECT_EQ(http->get("/healthz").status, 200);

    auto device = pairDevice(*http, me, {"send"}).token;
    auto firstDot = me.idToken.find('.');
    auto secondDot = me.idToken.find('.', firstDot + 1);
    // {"alg":"none","typ":"JWT"} with the real claims and no signature.
    auto unsigned_ = "eyJhbGciOiJub25lIiwidHlwIjoiSldUIn0"
        + me.idToken.substr(firstDot, secondDot - firstDot + 1);
    auto tampered = me.idToken;
    tampered[secondDot + 5] = tampered[secondDot + 5] == 'A' ? 'B' : 'A';
    for (const auto& path : {"/v1/me", "/v1/contacts", "/v1/devices"}) {
        for (const auto& token : {std::string(), std::string("not-a-token"), me.refreshToken, unsigned_,
                 tampered})
            EXPECT_EQ(http->get(path, token).status, 401) << path << " " << token;
        EXPECT_EQ(http->get(path, device).status, 403) << path;
        EXPECT_EQ(http->get(path, me.idToken).status, 200) << path;
    }
    EXPECT_EQ(http->del("/v1/me", device).status, 403);
    for (const auto& token : {std::string(), std::string("garbage"), device, tampered})
        EXPECT_EQ(upgrade("/v1/stream", token), 401) << "before the upgrade: " << token;
    EXPECT_EQ(upgrade("/v1/device/stream", me.idToken), 401);
    EXPECT_EQ(upgrade("/v1/stream?anyone=false", me.idToken), 101);
}
