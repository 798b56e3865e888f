#include "support/ServerTest.h"

using namespace tender::testing;

// The sign-in page of a server started as for production: no development sign-in.
class SigninPageTest : public ServerTest {
protected:
    void SetUp() override { start({"--identity-key", TENDER_DEFAULT_IDENTITY_KEY}); }

    HttpResult submit(const std::string& email, const std::string& password,
        const std::string& state = "4F1C-77AB")
    {
        return http->postForm("/signin", {{"state", state}, {"email", email}, {"password", password}});
    }

    static bool shows(const HttpResult& page, const std::string& text)
    {
        return page.body.find(text) != std::string::npos;
    }
};

TEST_F(SigninPageTest, CreatesTheAccountOrSignsInHandsTheAppItsCallbackSendsResetMailAndThrottles)
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
        auto callback = signinCallback(answer);
        EXPECT_EQ(callback["state"], "4F1C-77AB");
        EXPECT_EQ(callback["email"], email);
        auto token = refresh(*http, callback["rt"]).field("/id_token");
        EXPECT_EQ(http->get("/v1/me", token).field("/uid"), callback["uid"]);
        uids.push_back(callback["uid"]);
    }
    EXPECT_EQ(uids[0], uids[1]) << "the second time signs in to the account the first one made";

    // A forgotten password gets the same answer for every address.
    auto forgot = http->get("/forgot?state=S9");
    EXPECT_EQ(forgot.status, 200);
    EXPECT_TRUE(shows(forgot, "href=\"/signin?state=S9\""));
    for (const auto& address : {email, uniqueEmail("nobody")}) {
        auto sent = http->postForm("/forgot", {{"state", "S9"}, {"email", address}});
        EXPECT_EQ(sent.status, 200);
        EXPECT_TRUE(shows(sent, "Письмо для нового пароля отправлено"));
    }
    EXPECT_EQ(outbox().size(), 1u);
    EXPECT_EQ(http->postForm("/forgot", {{"state", "S9"}, {"email", " "}}).status, 400);
    EXPECT_EQ(http->postForm("/forgot", {{"email", email}}).status, 400);

    // Repeated failures show the throttle on the page, for the failing client only.
    auto lockedOut = signUp(*http, uniqueEmail("locked"), "right-password").email;
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(submit(lockedOut, "wrong-password").status, 400);
    auto locked = submit(lockedOut, "right-password");
    EXPECT_EQ(locked.status, 429);
    EXPECT_TRUE(shows(locked, "Слишком много попыток, попробуй чуть позже"));
    EXPECT_TRUE(shows(locked, "value=\"" + lockedOut + "\"")) << "the address stays filled in";
    EXPECT_EQ(from(2).postForm("/signin",
                  {{"state", "S"}, {"email", lockedOut}, {"password", "right-password"}}).status, 303);
}

TEST_F(SigninPageTest, ShowsEachProblemOnThePageAndChangesNothing)
{
    auto existing = signUp(*http, uniqueEmail("has"), "right-password").email;
    auto untouched = uniqueEmail("new");
    // A form with the given fields, and a state and a long enough password unless they are given.
    auto filled = [](std::map<std::string, std::string> fields) {
        fields.insert({{"state", "S1"}, {"password", "long enough"}});
        return formBody(fields);
    };
    const std::string notStarted = "Вход не начался", badAddress = "Проверь адрес почты";
    const std::pair<std::string, std::string> cases[] = {
        {filled({{"email", existing}, {"password", "wrong-password"}}), "Неверный пароль"},
        {filled({{"email", untouched}, {"password", "seven77"}}), "Пароль нужен не короче 8 символов"},
        {formBody({{"state", "S1"}, {"email", untouched}}), "Пароль нужен не короче 8 символов"},
        {filled({{"email", "  "}}), "Введи почту"},
        {filled({{"email", "no address"}}), badAddress},
        {filled({{"email", std::string(300, 'a') + "@x.org"}}), badAddress},
        {filled({{"email", "\"><script>@x.org"}}), "value=\"&quot;&gt;&lt;script&gt;@x.org\""},
        {formBody({{"email", untouched}, {"password", "long enough"}}), notStarted},
        {filled({{"state", "S1 <b>"}, {"email", untouched}}), notStarted},
        {filled({{"state", std::string(200, 'A')}, {"email", untouched}}), notStarted},
        {"state=S2&" + filled({{"email", untouched}}), notStarted},
        {"state=S1&email=%zz&password=long+enough", notStarted},
    };
    for (const auto& [body, shown] : cases) {
        auto page = http->send("POST", "/signin", body, "", "application/x-www-form-urlencoded");
        EXPECT_EQ(page.status, 400) << body.substr(0, 80);
        EXPECT_TRUE(shows(page, shown)) << body.substr(0, 80) << "\n" << page.body;
        EXPECT_FALSE(shows(page, "<script>"));
        EXPECT_EQ(page.headers.count("location"), 0u);
    }
    EXPECT_EQ(http->get("/signin").status, 400);
    EXPECT_EQ(signIn(*http, untouched, "long enough").error(), "INVALID_LOGIN_CREDENTIALS")
        << "no account came of the refused forms";
}
