#include "support/ServerTest.h"
#include <fstream>

namespace tender::testing {
namespace {

using IdentityTest = ServerTest;

json::object passwordBody(const std::string& email, const std::string& password)
{
    return {{"email", email}, {"password", password}, {"returnSecureToken", true}};
}

std::vector<std::filesystem::path> outboxFiles(const ServerProcess& server)
{
    std::vector<std::filesystem::path> files;
    if (std::filesystem::exists(server.dataDir() / "outbox"))
        for (const auto& entry : std::filesystem::directory_iterator(server.dataDir() / "outbox"))
            files.push_back(entry.path());
    return files;
}

std::string resetCodeIn(const std::filesystem::path& mail)
{
    std::ifstream in(mail);
    std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto at = content.find("/reset?code=");
    return at == std::string::npos ? "" : content.substr(at + 12, content.find('\n', at) - at - 12);
}

TEST_F(IdentityTest, SignUpSignInAndRefreshGiveTokensTheServiceAccepts)
{
    auto email = uniqueEmail("anna");
    auto created = http->post(identityPath("signUp"), passwordBody(email, "correct horse"));
    ASSERT_EQ(created.status, 200) << created.body;
    auto body = created.json().as_object();
    EXPECT_EQ(text(body["email"]), email);
    EXPECT_EQ(text(body["expiresIn"]), "3600");
    auto uid = text(body["localId"]);
    ASSERT_FALSE(uid.empty());

    auto signedIn = http->post(identityPath("signInWithPassword"), passwordBody("  ANNA" + email.substr(4) + " ", "correct horse"));
    ASSERT_EQ(signedIn.status, 200) << signedIn.body;
    EXPECT_EQ(text(signedIn.json().at("localId")), uid);

    auto refreshed = refresh(*http, text(signedIn.json().at("refreshToken")));
    ASSERT_EQ(refreshed.status, 200) << refreshed.body;
    auto tokens = refreshed.json().as_object();
    EXPECT_EQ(text(tokens["expires_in"]), "3600");
    EXPECT_EQ(text(tokens["refresh_token"]), text(signedIn.json().at("refreshToken")));

    for (const auto& token : {text(body["idToken"]), text(tokens["id_token"])}) {
        auto me = http->get("/v1/me", token);
        ASSERT_EQ(me.status, 200) << me.body;
        EXPECT_EQ(text(me.json().at("uid")), uid);
    }
}

TEST_F(IdentityTest, SignUpRefusesWithTheProviderCodes)
{
    auto email = uniqueEmail("boris");
    signUp(*http, email);
    struct Case {
        json::object body;
        std::string code;
    } cases[] = {
        {passwordBody(email, "another-pass"), "EMAIL_EXISTS"},
        {passwordBody(email, "12345"), "EMAIL_EXISTS"}, // what the app turns into "wrong password"
        {passwordBody(uniqueEmail("c"), "12345"), "WEAK_PASSWORD"},
        {passwordBody("not-an-address", "secret-pass"), "INVALID_EMAIL"},
        {passwordBody("", "secret-pass"), "MISSING_EMAIL"},
        {json::object{{"password", "secret-pass"}}, "MISSING_EMAIL"},
        {passwordBody(uniqueEmail("d"), ""), "MISSING_PASSWORD"},
    };
    for (const auto& c : cases) {
        auto refused = http->post(identityPath("signUp"), c.body);
        EXPECT_EQ(refused.status, 400) << c.code;
        auto message = refused.error();
        EXPECT_EQ(message.substr(0, message.find(' ')), c.code) << message;
        EXPECT_EQ(refused.json().at("error").at("code"), 400);
    }
}

TEST_F(IdentityTest, SignInDoesNotTellUnknownAddressFromWrongPassword)
{
    auto email = uniqueEmail("vera");
    signUp(*http, email);
    auto wrong = http->post(identityPath("signInWithPassword"), passwordBody(email, "not-the-password"));
    auto unknown = http->post(identityPath("signInWithPassword"), passwordBody(uniqueEmail("nobody"), "whatever1"));
    EXPECT_EQ(wrong.status, 400);
    EXPECT_EQ(wrong.error(), "INVALID_LOGIN_CREDENTIALS");
    EXPECT_EQ(unknown.error(), "INVALID_LOGIN_CREDENTIALS");
}

TEST_F(IdentityTest, RepeatedFailuresLockThatAddressOnlyForTheClientThatFailed)
{
    auto email = uniqueEmail("gleb");
    signUp(*http, email, "right-password");
    auto other = uniqueEmail("dina");
    signUp(*http, other, "right-password");
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(http->post(identityPath("signInWithPassword"), passwordBody(email, "wrong-" + std::to_string(i))).error(),
            "INVALID_LOGIN_CREDENTIALS");
    auto locked = http->post(identityPath("signInWithPassword"), passwordBody(email, "right-password"));
    EXPECT_EQ(locked.status, 400);
    EXPECT_TRUE(locked.error().starts_with("TOO_MANY_ATTEMPTS_TRY_LATER")) << locked.error();
    EXPECT_EQ(http->post(identityPath("signInWithPassword"), passwordBody(other, "right-password")).status, 200);
    EXPECT_EQ(from("127.0.0.2").post(identityPath("signInWithPassword"), passwordBody(email, "right-password")).status,
        200) << "a stranger's failures do not lock the person out";
}

TEST_F(IdentityTest, EveryCallRefusesAWrongOrMissingKey)
{
    auto user = quickUser(*http);
    std::string wrongKey = "AIzaSomebodyElsesKey000000000000000000";
    for (const auto& call : {"signInWithPassword", "signUp", "sendOobCode"}) {
        for (const auto& path : {identityPath(call, wrongKey), "/identitytoolkit/v1/accounts:" + std::string(call)}) {
            auto refused = http->post(path, passwordBody(uniqueEmail("k"), "secret-pass"));
            EXPECT_EQ(refused.status, 400) << path;
            EXPECT_TRUE(refused.error().starts_with("API_KEY_INVALID")) << refused.body;
        }
    }
    auto refusedRefresh = http->send("POST", tokenPath(wrongKey), "grant_type=refresh_token&refresh_token=" + user.refreshToken,
        "", "application/x-www-form-urlencoded");
    EXPECT_TRUE(refusedRefresh.error().starts_with("API_KEY_INVALID"));
}

TEST_F(IdentityTest, RefreshRefusesBadGrantsAndTokensOfDeletedAccounts)
{
    auto user = quickUser(*http);
    auto wrongGrant = http->send("POST", tokenPath(), "grant_type=password&refresh_token=" + user.refreshToken, "",
        "application/x-www-form-urlencoded");
    EXPECT_EQ(wrongGrant.error(), "INVALID_GRANT_TYPE");
    const std::string forgery = ".forged0000000000000000000000000000000000";
    for (const auto& token : {std::string("made-up-token"), user.uid + forgery, std::string(28, 'Z') + forgery})
        EXPECT_EQ(refresh(*http, token).error(), "INVALID_REFRESH_TOKEN") << "known and unknown uids alike";

    ASSERT_EQ(http->del("/v1/me", user.idToken).status, 204);
    EXPECT_EQ(refresh(*http, user.refreshToken).error(), "INVALID_REFRESH_TOKEN");
    EXPECT_EQ(http->get("/v1/me", user.idToken).status, 401);
}

TEST_F(IdentityTest, PasswordResetGoesThroughTheOutboxAndEndsEveryOldSession)
{
    auto email = uniqueEmail("lena");
    auto user = signUp(*http, email, "old-password");
    auto stream = readyStream(user);

    auto unknown = http->post(identityPath("sendOobCode"), {{"requestType", "PASSWORD_RESET"}, {"email", uniqueEmail("x")}});
    EXPECT_EQ(unknown.status, 200);
    EXPECT_TRUE(outboxFiles(*server).empty());

    for (int i = 0; i < 2; ++i) {
        auto sent = http->post(identityPath("sendOobCode"), {{"requestType", "PASSWORD_RESET"}, {"email", email}});
        ASSERT_EQ(sent.status, 200) << sent.body;
    }
    auto mails = outboxFiles(*server);
    ASSERT_EQ(mails.size(), 2u);
    EXPECT_EQ(std::filesystem::status(mails[0]).permissions() & std::filesystem::perms::all,
        std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    auto code = resetCodeIn(mails[0]);
    auto otherCode = resetCodeIn(mails[1]);
    ASSERT_FALSE(code.empty());

    EXPECT_EQ(http->get("/reset?code=" + code).status, 200);
    auto form = [&](const std::string& password) {
        return http->send("POST", "/reset", "code=" + code + "&password=" + password, "", "application/x-www-form-urlencoded");
    };
    EXPECT_EQ(form("short").status, 400);
    EXPECT_EQ(form("new-password").status, 200);
    EXPECT_EQ(form("newer-password").status, 400) << "a reset link works once";
    code = otherCode;
    EXPECT_EQ(form("newer-password").status, 400) << "the reset ended the other links too";
    EXPECT_TRUE(stream->closedWithin(milliseconds(3000)));
    EXPECT_EQ(http->get("/v1/me", user.idToken).status, 401) << "identity tokens from before the reset";

    EXPECT_EQ(http->post(identityPath("signInWithPassword"), passwordBody(email, "old-password")).error(),
        "INVALID_LOGIN_CREDENTIALS");
    EXPECT_EQ(http->post(identityPath("signInWithPassword"), passwordBody(email, "new-password")).status, 200);
    EXPECT_EQ(refresh(*http, user.refreshToken).error(), "TOKEN_EXPIRED");
}

TEST_F(IdentityTest, ForgedIdentityTokensAreRefused)
{
    auto user = quickUser(*http);
    auto parts = user.idToken;
    auto firstDot = parts.find('.');
    auto secondDot = parts.find('.', firstDot + 1);
    // {"alg":"none","typ":"JWT"} with the real claims and no signature.
    std::string unsigned_ = "eyJhbGciOiJub25lIiwidHlwIjoiSldUIn0" + parts.substr(firstDot, secondDot - firstDot + 1);
    std::string tampered = parts;
    tampered[secondDot + 5] = tampered[secondDot + 5] == 'A' ? 'B' : 'A';
    for (const auto& token : {unsigned_, tampered, std::string("garbage"), std::string()})
        EXPECT_EQ(http->get("/v1/me", token).status, 401) << token;
}

}
}
