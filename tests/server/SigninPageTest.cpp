#include "support/ServerTest.h"
#include <boost/url/parse.hpp>

namespace tender::testing {
namespace {

// The sign-in page of a server started as for production: no development sign-in.
class SigninPageTest : public ServerTest {
protected:
    void SetUp() override { start({"--identity-key", TENDER_DEFAULT_IDENTITY_KEY}); }

    HttpResult submit(const std::string& email, const std::string& password, const std::string& state = "4F1C-77AB")
    {
        return http->postForm("/signin", {{"state", state}, {"email", email}, {"password", password}});
    }

    static bool shows(const HttpResult& page, const std::string& text)
    {
        return page.body.find(text) != std::string::npos;
    }
};

std::map<std::string, std::string> callbackOf(const HttpResult& answer)
{
    std::map<std::string, std::string> items;
    auto location = answer.headers.count("location") ? answer.headers.at("location") : "";
    auto url = boost::urls::parse_uri(location);
    if (!url || url->scheme() != "tender" || url->host() != "signin")
        return items;
    for (auto param : url->params())
        items.emplace(param.key, param.value);
    return items;
}

TEST_F(SigninPageTest, CreatesTheAccountOrSignsInAndHandsTheAppItsCallback)
{
    auto form = http->get("/signin?state=4F1C-77AB");
    ASSERT_EQ(form.status, 200);
    EXPECT_TRUE(shows(form, "type=\"password\"") && shows(form, "value=\"4F1C-77AB\""));
    EXPECT_TRUE(shows(form, "href=\"/forgot?state=4F1C-77AB\""));
    EXPECT_NE(form.headers["content-security-policy"].find("form-action 'self' tender:"), std::string::npos);

    auto email = uniqueEmail("page");
    std::vector<std::string> uids;
    for (const auto& typed : {" PAGE" + email.substr(4), email}) {
        auto answer = submit(typed, "long enough");
        ASSERT_EQ(answer.status, 303) << answer.body;
        auto callback = callbackOf(answer);
        EXPECT_EQ(callback["state"], "4F1C-77AB");
        EXPECT_EQ(callback["email"], email);
        auto tokens = refresh(*http, callback["rt"]);
        ASSERT_EQ(tokens.status, 200) << tokens.body;
        EXPECT_EQ(text(http->get("/v1/me", text(tokens.json().at("id_token"))).json().at("uid")), callback["uid"]);
        uids.push_back(callback["uid"]);
    }
    EXPECT_EQ(uids[0], uids[1]) << "the second time signs in to the account the first one made";
}

TEST_F(SigninPageTest, ShowsEachProblemOnThePageAndChangesNothing)
{
    auto existing = uniqueEmail("has");
    signUp(*http, existing, "right-password");
    auto untouched = uniqueEmail("new");
    const std::string form = "application/x-www-form-urlencoded";
    struct Case {
        std::string body;
        int status;
        std::string shown;
    } cases[] = {
        {formBody({{"state", "S1"}, {"email", existing}, {"password", "wrong-password"}}), 400, "Неверный пароль"},
        {formBody({{"state", "S1"}, {"email", untouched}, {"password", "seven77"}}), 400,
            "Пароль нужен не короче 8 символов"},
        {formBody({{"state", "S1"}, {"email", untouched}}), 400, "Пароль нужен не короче 8 символов"},
        {formBody({{"state", "S1"}, {"email", "  "}, {"password", "long enough"}}), 400, "Введи почту"},
        {formBody({{"state", "S1"}, {"email", "no address"}, {"password", "long enough"}}), 400, "Проверь адрес почты"},
        {formBody({{"state", "S1"}, {"email", std::string(300, 'a') + "@x.org"}, {"password", "long enough"}}), 400,
            "Проверь адрес почты"},
        {formBody({{"state", "S1"}, {"email", "\"><script>@x.org"}, {"password", "long enough"}}), 400,
            "value=\"&quot;&gt;&lt;script&gt;@x.org\""},
        {formBody({{"email", untouched}, {"password", "long enough"}}), 400, "Вход не начался"},
        {formBody({{"state", "S1 <b>"}, {"email", untouched}, {"password", "long enough"}}), 400, "Вход не начался"},
        {formBody({{"state", std::string(200, 'A')}, {"email", untouched}, {"password", "long enough"}}), 400,
            "Вход не начался"},
        {"state=S1&state=S2&" + formBody({{"email", untouched}, {"password", "long enough"}}), 400, "Вход не начался"},
        {"state=S1&email=%zz&password=long+enough", 400, "Вход не начался"},
    };
    for (const auto& c : cases) {
        auto page = http->send("POST", "/signin", c.body, "", form);
        EXPECT_EQ(page.status, c.status) << c.body.substr(0, 80);
        EXPECT_TRUE(shows(page, c.shown)) << c.body.substr(0, 80) << "\n" << page.body;
        EXPECT_FALSE(shows(page, "<script>"));
        EXPECT_EQ(page.headers.count("location"), 0u);
    }
    EXPECT_EQ(http->send("PUT", "/signin", cases[0].body, "", form).status, 405);
    EXPECT_EQ(http->get("/signin").status, 400);
    EXPECT_EQ(http->post(identityPath("signInWithPassword"),
                  {{"email", untouched}, {"password", "long enough"}, {"returnSecureToken", true}}).error(),
        "INVALID_LOGIN_CREDENTIALS") << "no account came of the refused forms";
}

TEST_F(SigninPageTest, RepeatedFailuresShowTheThrottleOnThePage)
{
    auto email = uniqueEmail("locked");
    signUp(*http, email, "right-password");
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(submit(email, "wrong-password").status, 400);
    auto locked = submit(email, "right-password");
    EXPECT_EQ(locked.status, 429);
    EXPECT_TRUE(shows(locked, "Слишком много попыток, попробуй чуть позже"));
    EXPECT_TRUE(shows(locked, "value=\"" + email + "\"")) << "the address stays filled in";
    EXPECT_EQ(HttpClient(server->port(), "127.0.0.2").postForm("/signin",
                  {{"state", "S"}, {"email", email}, {"password", "right-password"}}).status, 303);
}

TEST_F(SigninPageTest, AForgottenPasswordGetsTheSameAnswerForEveryAddress)
{
    auto email = uniqueEmail("forgot");
    signUp(*http, email, "right-password");
    auto form = http->get("/forgot?state=S9");
    EXPECT_EQ(form.status, 200);
    EXPECT_TRUE(shows(form, "href=\"/signin?state=S9\""));
    for (const auto& address : {email, uniqueEmail("nobody")}) {
        auto sent = http->postForm("/forgot", {{"state", "S9"}, {"email", address}});
        EXPECT_EQ(sent.status, 200);
        EXPECT_TRUE(shows(sent, "Письмо для нового пароля отправлено"));
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(server->dataDir() / "outbox"),
        std::filesystem::directory_iterator()), 1);
    EXPECT_EQ(http->postForm("/forgot", {{"state", "S9"}, {"email", " "}}).status, 400);
    EXPECT_EQ(http->postForm("/forgot", {{"email", email}}).status, 400);
}

}
}
