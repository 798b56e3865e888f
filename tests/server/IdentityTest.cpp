#include "support/ServerTest.h"
#include <fstream>

using namespace tender::testing;

using IdentityTest = ServerTest;

static std::string resetCodeIn(const std::filesystem::path& mail)
{
    std::ifstream in(mail);
    std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto at = content.find("/reset?code=");
    return at == std::string::npos ? "" : content.substr(at + 12, content.find('\n', at) - at - 12);
}

// Refusals: bad sign-ups, a wrong or missing key on every call, bad grants and a deleted account's tokens.
TEST_F(IdentityTest, SignUpSignInAndRefreshGiveTokensTheServiceAcceptsAndRefusalsTheProviderCodes)
{
    auto email = uniqueEmail("anna");
    auto created = http->post(identityPath("signUp"), passwordBody(email, "correct horse"));
    ASSERT_EQ(created.status, 200) << created.body;
    EXPECT_EQ(created.field("/email"), email);
    EXPECT_EQ(created.field("/expiresIn"), "3600");
    auto uid = created.field("/localId");
    ASSERT_FALSE(uid.empty());

    auto signedIn = signIn(*http, "  ANNA" + email.substr(4) + " ", "correct horse");
    ASSERT_EQ(signedIn.status, 200) << signedIn.body;
    EXPECT_EQ(signedIn.field("/localId"), uid);

    auto refreshToken = signedIn.field("/refreshToken");
    auto refreshed = refresh(*http, refreshToken);
    ASSERT_EQ(refreshed.status, 200) << refreshed.body;
    EXPECT_EQ(refreshed.field("/expires_in"), "3600");
    EXPECT_EQ(refreshed.field("/refresh_token"), refreshToken);

    for (const auto& token : {created.field("/idToken"), refreshed.field("/id_token")})
        EXPECT_EQ(http->get("/v1/me", token).field("/uid"), uid);

    const std::pair<json::object, std::string> cases[] = {
        {passwordBody(email, "another-pass"), "EMAIL_EXISTS"},
        {passwordBody(email, "12345"), "EMAIL_EXISTS"}, // what the app turns into "wrong password"
        {passwordBody(uniqueEmail("c"), "12345"), "WEAK_PASSWORD"},
        {passwordBody("not-an-address", "secret-pass"), "INVALID_EMAIL"},
        {passwordBody("", "secret-pass"), "MISSING_EMAIL"},
        {json::object{{"password", "secret-pass"}}, "MISSING_EMAIL"},
        {passwordBody(uniqueEmail("d"), ""), "MISSING_PASSWORD"},
    };
    for (const auto& [body, code] : cases) {
        auto refused = http->post(identityPath("signUp"), body);
        auto outcome = refused.outcome(); // the code, and perhaps words after it
        EXPECT_EQ(outcome.substr(0, outcome.find(' ', 4)), "400 " + code) << outcome;
        EXPECT_EQ(refused.json().at("error").at("code"), 400);
    }

    std::string wrongKey = "AIzaSomebodyElsesKey000000000000000000";
    for (const auto& call : {"signInWithPassword", "signUp", "sendOobCode"}) {
        auto keyless = "/identitytoolkit/v1/accounts:" + std::string(call);
        for (const auto& path : {identityPath(call, wrongKey), keyless}) {
            auto refused = http->post(path, passwordBody(uniqueEmail("k"), "secret-pass")).outcome();
            EXPECT_TRUE(refused.starts_with("400 API_KEY_INVALID")) << path << " " << refused;
        }
    }
    auto wrongKeyRefresh = refresh(*http, refreshToken, "refresh_token", wrongKey);
    EXPECT_TRUE(wrongKeyRefresh.error().starts_with("API_KEY_INVALID")) << wrongKeyRefresh.body;

    EXPECT_EQ(refresh(*http, refreshToken, "password").error(), "INVALID_GRANT_TYPE");
    const std::string forgery = ".forged0000000000000000000000000000000000";
    for (const auto& token : {std::string("made-up"), uid + forgery, std::string(28, 'Z') + forgery})
        EXPECT_EQ(refresh(*http, token).error(), "INVALID_REFRESH_TOKEN") << "known and unknown uids alike";

    ASSERT_EQ(http->del("/v1/me", refreshed.field("/id_token")).status, 204);
    EXPECT_EQ(refresh(*http, refreshToken).error(), "INVALID_REFRESH_TOKEN");
}

// A wrong password and an unknown address get the same answer; failures lock the address only for the
// client that failed, so a stranger's guessing does not lock the person out.
TEST_F(IdentityTest, SignInFailuresTellNothingAndLockOnlyTheFailingClient)
{
    auto email = signUp(*http, uniqueEmail("gleb"), "right-password").email;
    auto other = signUp(*http, uniqueEmail("dina"), "right-password").email;
    EXPECT_EQ(signIn(*http, uniqueEmail("nobody"), "whatever1").error(), "INVALID_LOGIN_CREDENTIALS");
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(signIn(*http, email, "wrong-" + std::to_string(i)).outcome(),
            "400 INVALID_LOGIN_CREDENTIALS");
    auto locked = signIn(*http, email, "right-password").outcome();
    EXPECT_TRUE(locked.starts_with("400 TOO_MANY_ATTEMPTS_TRY_LATER")) << locked;
    EXPECT_EQ(signIn(*http, other, "right-password").status, 200);
    EXPECT_EQ(signIn(from(2), email, "right-password").status, 200);
}

TEST_F(IdentityTest, PasswordResetGoesThroughTheOutboxAndEndsEveryOldSession)
{
    auto user = signUp(*http, uniqueEmail("lena"), "old-password");
    auto stream = readyStream(user);
    EXPECT_EQ(sendReset(*http, uniqueEmail("x")).status, 200);
    EXPECT_TRUE(outbox().empty());
    for (int i = 0; i < 2; ++i)
        ASSERT_EQ(sendReset(*http, user.email).status, 200);
    auto mails = outbox();
    ASSERT_EQ(mails.size(), 2u);
    EXPECT_EQ(std::filesystem::status(mails[0]).permissions() & std::filesystem::perms::all,
        std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    auto code = resetCodeIn(mails[0]);
    ASSERT_FALSE(code.empty());

    EXPECT_EQ(http->get("/reset?code=" + code).status, 200);
    auto form = [&](const std::string& link, const std::string& password) {
        return http->postForm("/reset", {{"code", link}, {"password", password}}).status;
    };
    EXPECT_EQ(form(code, "short"), 400);
    EXPECT_EQ(form(code, "new-password"), 200);
    EXPECT_EQ(form(code, "newer-password"), 400) << "a reset link works once";
    EXPECT_EQ(form(resetCodeIn(mails[1]), "newer-password"), 400) << "the reset ended the other links too";
    EXPECT_TRUE(stream->closedWithin());
    EXPECT_EQ(http->get("/v1/me", user.idToken).status, 401) << "identity tokens from before the reset";

    EXPECT_EQ(signIn(*http, user.email, "old-password").error(), "INVALID_LOGIN_CREDENTIALS");
    EXPECT_EQ(signIn(*http, user.email, "new-password").status, 200);
    EXPECT_EQ(refresh(*http, user.refreshToken).error(), "TOKEN_EXPIRED");
}
