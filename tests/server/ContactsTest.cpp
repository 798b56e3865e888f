#include "support/ServerTest.h"

namespace tender::testing {
namespace {

using ContactsTest = ServerTest;

// Labels in list order, each with its position checked against its index.
std::vector<std::string> labels(const HttpClient& http, const TestUser& user)
{
    auto list = http.get("/v1/contacts", user.idToken).json().at("contacts").as_array();
    std::vector<std::string> names;
    for (std::size_t i = 0; i < list.size(); ++i) {
        EXPECT_EQ(list[i].at("position"), static_cast<std::int64_t>(i));
        names.push_back(text(list[i].at("label")));
    }
    return names;
}

TEST_F(ContactsTest, InviteUrlShowsTheCodeInTwoGroupsOfFive)
{
    auto user = quickUser(*http);
    auto me = http->get("/v1/me", user.idToken).json();
    auto url = text(me.at("invite_url"));
    ASSERT_TRUE(url.starts_with(server->base() + "/i/")) << url;
    auto code = url.substr(url.rfind('/') + 1);
    ASSERT_EQ(code.size(), 11u);
    EXPECT_EQ(code[5], '-');
    for (char c : code.substr(0, 5) + code.substr(6))
        EXPECT_NE(std::string_view("23456789ABCDEFGHJKMNPQRSTVWXYZ").find(c), std::string_view::npos) << c;
    EXPECT_EQ(http->get("/i/" + code).status, 200);
    EXPECT_EQ(http->get("/i/22222-22222").status, 404);
}

TEST_F(ContactsTest, AddingReadsTheCodeLikeTheAppAndRefusesWhatItMust)
{
    auto me = quickUser(*http, "me");
    auto friend1 = quickUser(*http, "f1");
    auto friend2 = quickUser(*http, "f2");
    auto code1 = inviteCodeOf(*http, friend1);
    auto code2 = inviteCodeOf(*http, friend2);
    std::string lower;
    for (char c : code1)
        lower += static_cast<char>(std::tolower(c));

    auto first = http->post("/v1/contacts", {{"code", lower}, {"label", "  Маша  "}, {"close", true}}, me.idToken);
    ASSERT_EQ(first.status, 201) << first.body;
    EXPECT_EQ(text(first.json().at("label")), "Маша");
    EXPECT_EQ(first.json().at("position"), 0);
    EXPECT_EQ(first.json().at("close"), true);
    auto second = http->post("/v1/contacts", {{"code", server->base() + "/i/" + code2 + "?from=mail"}, {"label", "Петя"}},
        me.idToken);
    ASSERT_EQ(second.status, 201) << second.body;
    EXPECT_EQ(second.json().at("position"), 1);

    auto refused = [&](const json::object& body) { return http->post("/v1/contacts", body, me.idToken); };
    EXPECT_EQ(refused({{"code", code1}, {"label", "Снова"}}).status, 409);
    for (const auto& bad : {std::string("ABCDE"), std::string("22222-2222I"), std::string("22222-22222")}) {
        auto result = refused({{"code", bad}, {"label", "X"}});
        EXPECT_EQ(result.status, 400);
        EXPECT_EQ(result.error(), "not an invite code") << bad;
    }
    auto own = refused({{"code", inviteCodeOf(*http, me)}, {"label", "Я"}});
    EXPECT_EQ(own.status, 400);
    EXPECT_EQ(own.error(), "that is your own invite");
    EXPECT_EQ(refused({{"code", code1}, {"label", "   "}}).status, 400);
    EXPECT_EQ(refused({{"code", code1}, {"label", std::string(65, 'a')}}).status, 400);
    EXPECT_EQ(refused({{"code", code1}, {"label", "Маша"}, {"close", "yes"}}).status, 400);
    EXPECT_EQ(labels(*http, me), (std::vector<std::string>{"Маша", "Петя"}));
}

TEST_F(ContactsTest, PatchMovesRenamesAndMarksWhileDeleteRenumbers)
{
    auto me = quickUser(*http, "me");
    std::vector<std::string> ids;
    for (const auto& name : {"A", "B", "C", "D"})
        ids.push_back(addContact(*http, me, quickUser(*http, name), name));

    EXPECT_EQ(http->patch("/v1/contacts/" + ids[3], {{"position", 0}}, me.idToken).status, 200);
    EXPECT_EQ(labels(*http, me), (std::vector<std::string>{"D", "A", "B", "C"}));
    EXPECT_EQ(http->patch("/v1/contacts/" + ids[0], {{"position", 3}}, me.idToken).status, 200);
    EXPECT_EQ(labels(*http, me), (std::vector<std::string>{"D", "B", "C", "A"}));

    std::string name64;
    for (int i = 0; i < 64; ++i)
        name64 += "ж";
    auto renamed = http->patch("/v1/contacts/" + ids[1], {{"label", name64}, {"close", true}}, me.idToken);
    ASSERT_EQ(renamed.status, 200) << renamed.body;
    EXPECT_EQ(renamed.json().at("close"), true);
    EXPECT_EQ(renamed.json().at("position"), 1);

    for (const auto& bad : {json::object{{"position", 4}}, json::object{{"position", -1}}, json::object{{"position", 1.5}},
             json::object{{"label", ""}}, json::object{{"label", name64 + "ж"}}, json::object{{"close", 1}},
             json::object{{"label", "ok"}, {"position", "2"}}})
        EXPECT_EQ(http->patch("/v1/contacts/" + ids[2], bad, me.idToken).status, 400) << json::serialize(bad);
    EXPECT_EQ(labels(*http, me), (std::vector<std::string>{"D", name64, "C", "A"}));

    EXPECT_EQ(http->del("/v1/contacts/" + ids[1], me.idToken).status, 204);
    EXPECT_EQ(labels(*http, me), (std::vector<std::string>{"D", "C", "A"}));
    EXPECT_EQ(http->del("/v1/contacts/" + ids[1], me.idToken).status, 404);
}

TEST_F(ContactsTest, AnotherUsersEntriesAnswerNotFound)
{
    auto owner = quickUser(*http, "owner");
    auto stranger = quickUser(*http, "stranger");
    auto id = addContact(*http, owner, stranger, "Чужой");
    EXPECT_EQ(http->patch("/v1/contacts/" + id, {{"label", "Мой"}}, stranger.idToken).status, 404);
    EXPECT_EQ(http->del("/v1/contacts/" + id, stranger.idToken).status, 404);
    EXPECT_EQ(http->post("/v1/events", {{"type", "signal"}, {"to", {{"contact", id}}}}, stranger.idToken).status, 404);
    EXPECT_EQ(labels(*http, owner), (std::vector<std::string>{"Чужой"}));
    EXPECT_TRUE(labels(*http, stranger).empty());
}

TEST_F(ContactsTest, TheListHoldsAtMostTwoHundredPeople)
{
    auto me = quickUser(*http, "popular");
    for (int i = 0; i < 200; ++i) {
        auto other = quickUser(*http, "p" + std::to_string(i));
        auto added = http->post("/v1/contacts", {{"code", inviteCodeOf(*http, other)}, {"label", "P"}}, me.idToken);
        ASSERT_EQ(added.status, 201) << i << added.body;
    }
    auto extra = quickUser(*http, "extra");
    auto refused = http->post("/v1/contacts", {{"code", inviteCodeOf(*http, extra)}, {"label", "P"}}, me.idToken);
    EXPECT_EQ(refused.status, 400);
    EXPECT_EQ(refused.error(), "too many contacts");
    EXPECT_EQ(labels(*http, me).size(), 200u);
}

}
}
