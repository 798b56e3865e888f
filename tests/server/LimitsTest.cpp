#include "support/ServerTest.h"
#include <atomic>
#include <thread>

using namespace tender::testing;

using LimitsTest = ServerTest;

TEST_F(LimitsTest, OneClientsFloodOfPasswordChecksIsRefusedAtOnceWhileOthersSignIn)
{
    auto email = signUp(*http, uniqueEmail("real"), "right-password").email;
    std::atomic<int> refused = 0;
    std::vector<std::thread> flood;
    for (int i = 0; i < 40; ++i)
        flood.emplace_back([&] {
            auto attempt = from(2).post(identityPath("signUp"), passwordBody(uniqueEmail("f"), "pass-word"));
            refused += attempt.error().starts_with("TOO_MANY_ATTEMPTS");
        });
    auto real = signIn(from(3), email, "right-password");
    for (auto& t : flood)
        t.join();
    EXPECT_EQ(real.status, 200) << real.body;
    EXPECT_GE(refused, 10) << "at most 30 checks a minute for one client";
    EXPECT_LE(refused, 39);
}

TEST_F(LimitsTest, PasswordChecksWhoseClientLeftAreDropped)
{
    auto body = [](int i) { return passwordBody("left" + std::to_string(i) + "@example.org", "pass-word"); };
    for (int i = 0; i < 20; ++i)
        RawSocket(server->port(), loopback(10 + i)).post(identityPath("signUp"), json::serialize(body(i)));
    const std::string created = "tender_identity_outcomes_total{call=\"signUp\",outcome=\"OK\"}";
    std::map<std::string, double> metrics;
    ASSERT_TRUE(eventually([&] {
        metrics = readMetrics(http->get("/metrics").body);
        return metrics[created] + metrics["tender_abandoned_requests_total"] == 20;
    }));
    EXPECT_GE(metrics["tender_abandoned_requests_total"], 1);
    int accounts = 0;
    for (int i = 0; i < 20; ++i)
        accounts += http->post(identityPath("signUp"), body(i)).error() == "EMAIL_EXISTS";
    EXPECT_EQ(accounts, metrics[created]) << "nothing of the dropped ones was done";
}

TEST_F(LimitsTest, GuessingInviteCodesIsThrottledPerClientAndPerUser)
{
    auto me = quickUser(*http, "me");
    auto other = quickUser(*http, "other");
    auto code = inviteCodeOf(*http, other);
    auto add = [&](const HttpClient& client, const TestUser& user, const std::string& tried) {
        return client.post("/v1/contacts", {{"code", tried}, {"label", "X"}}, user.idToken).status;
    };
    for (int i = 0; i < 20; ++i)
        ASSERT_EQ(add(*http, me, "ZZZZZ-ZZZZ" + std::string(1, "23456789AB"[i % 10])), 400);
    EXPECT_EQ(add(*http, me, code), 429) << "even a right code, for a while";
    EXPECT_EQ(add(from(2), me, code), 429) << "the same user from elsewhere";
    EXPECT_EQ(add(*http, other, inviteCodeOf(*http, me)), 429) << "another user from the same client";
    EXPECT_EQ(add(from(2), other, inviteCodeOf(*http, me)), 201);

    for (int i = 0; i < 20; ++i)
        ASSERT_EQ(from(3).get("/i/ZZZZZ-ZZZZZ").status, 404);
    EXPECT_EQ(from(3).get("/i/" + code).status, 429);
    EXPECT_EQ(from(4).get("/i/" + code).status, 200);
}

TEST_F(LimitsTest, ResetMailIsThrottledPerAddressAndPerClientAndTheOutboxIsBounded)
{
    start({"--dev-signin", "--max-outbox", "6"});
    auto known = quickUser(*http, "known");
    const std::string throttled = "TOO_MANY_ATTEMPTS_TRY_LATER";
    for (int i = 0; i < 5; ++i)
        ASSERT_EQ(sendReset(from(2 + i), known.email).error(), "");
    EXPECT_TRUE(sendReset(from(9), known.email).error().starts_with(throttled)) << "per address";
    EXPECT_EQ(sendReset(from(9), uniqueEmail("nobody")).error(), "");
    for (int i = 0; i < 20; ++i)
        ASSERT_EQ(sendReset(from(1), uniqueEmail("n")).error(), "");
    EXPECT_TRUE(sendReset(from(1), uniqueEmail("n")).error().starts_with(throttled)) << "per client";

    EXPECT_EQ(sendReset(from(10), quickUser(*http, "second").email).error(), "") << "the sixth mail";
    EXPECT_TRUE(sendReset(from(11), uniqueEmail("z")).error().starts_with(throttled))
        << "a full outbox refuses every address alike";
}

TEST_F(LimitsTest, ConnectionsAreCappedAndTheOldestIdleOneMakesRoom)
{
    start({"--dev-signin", "--max-connections", "40", "--max-connections-per-client", "30"});
    std::vector<std::unique_ptr<RawSocket>> idle;
    for (int i = 0; i < 30; ++i)
        idle.push_back(std::make_unique<RawSocket>(server->port(), loopback(2)));
    EXPECT_TRUE(RawSocket(server->port(), loopback(2)).closedWithin()) << "a client's cap";
    for (int i = 0; i < 10; ++i)
        idle.push_back(std::make_unique<RawSocket>(server->port(), loopback(3)));
    // Each asks while the server is full, and stays.
    std::vector<std::unique_ptr<RawSocket>> monitors;
    for (int i = 0; i < 3; ++i) {
        monitors.push_back(std::make_unique<RawSocket>(server->port(), loopback(4)));
        EXPECT_EQ(monitors.back()->get("/healthz"), 200) << "the server is full of idle sockets";
    }
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(idle[std::size_t(i)]->closedWithin()) << "the oldest made room";
    EXPECT_FALSE(idle[3]->closedWithin(milliseconds(0)));
}

TEST_F(LimitsTest, StreamsAreCappedPerUserAndPerDevice)
{
    start({"--dev-signin", "--max-streams-per-user", "2", "--max-streams-per-device", "1"});
    auto me = quickUser(*http);
    const std::tuple<std::string, std::string, std::string, int> cases[] = { // path, token, kind, cap
        {"/v1/stream", me.idToken, "app", 2},
        {"/v1/device/stream", pairDevice(*http, me, {"receive"}).token, "device", 1}};
    for (const auto& [path, token, kind, cap] : cases) {
        std::vector<std::unique_ptr<WsClient>> open;
        for (int i = 0; i < cap; ++i)
            open.push_back(WsClient::open(server->port(), path, token).client);
        EXPECT_EQ(upgrade(path, token), 429) << kind;
        open.pop_back();
        auto streams = "tender_streams{kind=\"" + kind + "\"}";
        ASSERT_TRUE(eventually([&] { return readMetrics(http->get("/metrics").body)[streams] == cap - 1; }))
            << kind;
        EXPECT_EQ(upgrade(path, token), 101) << "a closed stream's place is free";
    }
}
