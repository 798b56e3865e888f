#include "api/InviteCode.h"
#include "api/RateLimiter.h"
#include "crypto/Password.h"
#include "hub/AnyonePool.h"
#include "http/Form.h"
#include "http/Responses.h"
#include "http/Router.h"
#include "identity/VerifiedTokens.h"
#include <boost/beast/http/write.hpp>
#include <gtest/gtest.h>
#include <sodium.h>
#include <sstream>
#include <map>

using namespace tender::server;

TEST(InviteCode, ReadsCodesAndLinksLikeTheApp)
{
    EXPECT_EQ(inviteCode::read("abcde-fghjk"), "ABCDEFGHJK");
    EXPECT_EQ(inviteCode::read("  https://tender.example/i/ABCDE-FGHJK?utm=x#top \n"), "ABCDEFGHJK");
    EXPECT_EQ(inviteCode::read("tender://add/23456-789AB"), "23456789AB");
    EXPECT_EQ(inviteCode::read("ABC-DE-FGH-JK"), "ABCDEFGHJK");
    for (const char* bad :
        {"", "ABCDEFGHJ", "ABCDEFGHJKM", "ABCDEFGHJI", "ABCDEFGHJO", "ABCDE FGHJK", "ÄBCDEFGHJK"})
        EXPECT_EQ(inviteCode::read(bad), std::nullopt) << bad;
}

// Stored hashes were made by libsodium; ours must read them and write what libsodium reads.
TEST(Password, ReadsAndWritesLibsodiumsHashesAndRefusesMalformedOnes)
{
    const std::string password = "пароль-1";
    char theirs[crypto_pwhash_STRBYTES]; // argon2id, libsodium's default
    ASSERT_EQ(0, crypto_pwhash_str(theirs, password.data(), password.size(),
        crypto_pwhash_OPSLIMIT_INTERACTIVE, crypto_pwhash_MEMLIMIT_INTERACTIVE));
    EXPECT_TRUE(verifyPassword(theirs, password));
    EXPECT_FALSE(verifyPassword(theirs, "пароль-2"));
    auto ours = hashPassword(password);
    EXPECT_EQ(crypto_pwhash_str_verify(ours.c_str(), password.data(), password.size()), 0) << ours;
    EXPECT_TRUE(verifyPassword(ours, password));
    EXPECT_NE(hashPassword(password), ours) << "a salt of its own each time";

    // Each one would throw or read past its end if taken as it stands.
    std::string stored = theirs, head = stored.substr(0, 31), hash = stored.substr(stored.rfind('$'));
    std::string salt = stored.substr(31, stored.size() - 31 - hash.size());
    for (const std::string& bad : {std::string(), head + salt, head + "c2Fs" + hash, stored + "!",
             stored.substr(0, stored.size() - 39), "$argon2id$v=19$m=4294967295,t=2,p=1$" + salt + hash,
             "$argon2id$v=19$m=65536,t=0,p=1$" + salt + hash})
        EXPECT_FALSE(verifyPassword(bad, password)) << bad;
}

TEST(AnyonePool, PicksEveryOtherUserUniformlyAndNeverTheSender)
{
    AnyonePool pool;
    for (const char* uid : {"a", "b", "c", "d"})
        pool.add(uid);
    pool.add("b");
    pool.remove("b"); // one of b's two streams closed: b stays
    std::map<std::string, int> picks;
    for (std::uint32_t i = 0; i < 300; ++i)
        picks[*pool.pickOtherThan("c", [i](std::uint32_t n) { return i % n; })]++;
    EXPECT_EQ(picks, (std::map<std::string, int>{{"a", 100}, {"b", 100}, {"d", 100}}));

    for (const char* uid : {"b", "a", "d"})
        pool.remove(uid);
    EXPECT_EQ(pool.pickOtherThan("c", [](std::uint32_t) { return 0u; }), std::nullopt);
    EXPECT_EQ(pool.pickOtherThan("x", [](std::uint32_t) { return 0u; }), "c");
}

TEST(RateLimiter, AllowsABurstThenRefillsOverTime)
{
    RateLimiter limiter(3, 1);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(limiter.allow("k", 1000));
    EXPECT_FALSE(limiter.allow("k", 1000));
    EXPECT_TRUE(limiter.allow("other", 1000));
    EXPECT_FALSE(limiter.allow("k", 1900));
    EXPECT_TRUE(limiter.allow("k", 2000));
    EXPECT_FALSE(limiter.allow("k", 2000));
}

TEST(VerifiedTokens, ARememberedTokenStillExpiresAndAlteredTokensFail)
{
    IdTokens tokens(std::string(32, 'k'));
    VerifiedTokens verified(tokens);
    auto token = tokens.issue("uid", "u@example.org", 1000);
    ASSERT_TRUE(verified.verify(token, 1000));
    EXPECT_EQ(verified.verify(token, 1001)->uid, "uid");
    EXPECT_EQ(verified.verify(token, 1000 + IdTokens::lifetimeSeconds), std::nullopt);

    auto altered = token;
    altered[altered.find('.') + 3] ^= 1;
    EXPECT_EQ(verified.verify(altered, 1001), std::nullopt);
    auto foreign = IdTokens(std::string(32, 'x')).issue("uid", "u@example.org", 1000);
    EXPECT_EQ(verified.verify(foreign, 1001), std::nullopt);
}

TEST(Form, DecodesFieldsAsBrowsersEncodeThem)
{
    using Fields = decltype(formFields(""));
    EXPECT_EQ(formFields("email=anna%40example.org&name=Anna+Maria&email=second&flag&state=%D0%AF"),
        (Fields{{"email", "anna@example.org"}, {"name", "Anna Maria"}, {"flag", ""}, {"state", "Я"}}));
    EXPECT_TRUE(formFields("a=%zz").empty());
    // A query is a view into the request line, with no terminating NUL after it.
    const std::string line = "state=ABC=\"email\"&uid=1";
    EXPECT_EQ(formFields(std::string_view(line).substr(0, 9)), (Fields{{"state", "ABC"}}));
}

TEST(Router, MatchesPatternsAndTellsUnknownPathsFromUnknownMethods)
{
    Router router;
    router.add(http::verb::get, "/v1/contacts/:id", [](const RouteContext& c) {
        return errorResponse(http::status::ok, c.params.at(0));
    });
    router.add(http::verb::post, "/v1/fail",
        [](const RouteContext&) -> Response { throw std::runtime_error("boom"); });
    auto call = [&](http::verb verb, const char* target) { return router.handle(Request{verb, target, 11}); };
    auto found = call(http::verb::get, "/v1/contacts/abc?x=1");
    EXPECT_EQ(found.response.result_int(), 200);
    EXPECT_EQ(found.response.body(), R"({"error":"abc"})");
    EXPECT_EQ(found.route, "/v1/contacts/:id");
    EXPECT_EQ(call(http::verb::delete_, "/v1/contacts/abc").response.result_int(), 405);
    EXPECT_EQ(call(http::verb::get, "/v1/contacts/").response.result_int(), 404);
    EXPECT_EQ(call(http::verb::get, "/v1/contacts/a/b").response.result_int(), 404);
    EXPECT_EQ(call(http::verb::post, "/v1/fail").response.result_int(), 500);
}

// Answers are written with a head of our own making: it must be byte for byte what Beast writes.
TEST(SerializedHead, MatchesBeastsSerializer)
{
    auto closing = errorResponse(http::status::too_many_requests, "too many signals, try later");
    closing.keep_alive(false);
    auto oldClient = jsonResponse(http::status::ok, json::object{{"status", "ok"}});
    oldClient.version(10);
    oldClient.keep_alive(true);
    auto ownReason = redirectResponse("/somewhere");
    ownReason.reason("Elsewhere");
    for (auto response : {jsonResponse(http::status::accepted, json::object{}), closing, oldClient, ownReason,
             htmlResponse(http::status::ok, "<p>hi</p>")}) {
        response.set(http::field::server, "tender-server");
        response.prepare_payload();
        std::ostringstream beast;
        beast << response;
        EXPECT_EQ(serializedHead(response) + response.body(), beast.str());
    }
}
