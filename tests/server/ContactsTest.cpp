#include "api/InviteCode.h"
#include "support/ServerTest.h"
#include <boost/algorithm/string/case_conv.hpp>

using namespace tender::testing;

using ContactsTest = ServerTest;
using Labels = std::vector<std::string>;
namespace inviteCode = tender::server::inviteCode;

TEST_F(ContactsTest, InviteUrlShowsTheCodeAndAddingReadsItLikeTheAppAndRefusesWhatItMust)
{
    auto [me, f1, f2] = quickUsers(*http, "me", "f1", "f2");
    auto code1 = inviteCodeOf(*http, f1);
    auto url = http->get("/v1/me", f2.idToken).field("/invite_url");
    ASSERT_TRUE(url.starts_with(server->base() + "/i/")) << url;
    auto code2 = url.substr(url.rfind('/') + 1); // ten characters of the alphabet, in two groups of five
    EXPECT_EQ(inviteCode::display(inviteCode::read(code2).value_or("")), code2);
    EXPECT_EQ(http->get("/i/" + code2).status, 200);
    EXPECT_EQ(http->get("/i/22222-22222").status, 404);

    auto add = [&](const json::object& body) { return http->post("/v1/contacts", body, me.idToken); };
    auto first = add({{"code", boost::to_lower_copy(code1)}, {"label", "  Маша  "}, {"close", true}});
    ASSERT_EQ(first.status, 201) << first.body;
    EXPECT_EQ(first.field("/label"), "Маша");
    EXPECT_EQ(first.json().at("position"), 0);
    EXPECT_EQ(first.json().at("close"), true);
    auto second = add({{"code", url + "?from=mail"}, {"label", "Петя"}});
    ASSERT_EQ(second.status, 201) << second.body;
    EXPECT_EQ(second.json().at("position"), 1);

    EXPECT_TRUE(add({{"code", code1}, {"label", "Снова"}}).outcome().starts_with("409 "));
    for (const auto& bad : {"ABCDE", "22222-2222I", "22222-22222"})
        EXPECT_EQ(add({{"code", bad}, {"label", "X"}}).outcome(), "400 not an invite code");
    EXPECT_EQ(add({{"code", inviteCodeOf(*http, me)}, {"label", "Я"}}).outcome(),
        "400 that is your own invite");
    for (const auto& bad : {json::object{{"code", code1}, {"label", "   "}},
             json::object{{"code", code1}, {"label", std::string(65, 'a')}},
             json::object{{"code", code1}, {"label", "Маша"}, {"close", "yes"}}})
        EXPECT_TRUE(add(bad).outcome().starts_with("400 ")) << json::serialize(bad);
    EXPECT_EQ(contactLabels(*http, me), (Labels{"Маша", "Петя"}));
}

TEST_F(ContactsTest, PatchMovesRenamesAndMarksDeleteRenumbersAndStrangersFindNothing)
{
    auto me = quickUser(*http, "me");
    std::vector<std::string> ids;
    for (const auto& name : {"A", "B", "C", "D"})
        ids.push_back(addContact(*http, me, quickUser(*http, name), name));
    auto patch = [&](int index, const json::object& body) {
        return http->patch("/v1/contacts/" + ids[static_cast<std::size_t>(index)], body, me.idToken);
    };

    EXPECT_EQ(patch(3, {{"position", 0}}).status, 200);
    EXPECT_EQ(contactLabels(*http, me), (Labels{"D", "A", "B", "C"}));
    EXPECT_EQ(patch(0, {{"position", 3}}).status, 200);
    EXPECT_EQ(contactLabels(*http, me), (Labels{"D", "B", "C", "A"}));

    std::string name64;
    for (int i = 0; i < 64; ++i)
        name64 += "ж";
    auto renamed = patch(1, {{"label", name64}, {"close", true}});
    ASSERT_EQ(renamed.status, 200) << renamed.body;
    EXPECT_EQ(renamed.json().at("close"), true);
    EXPECT_EQ(renamed.json().at("position"), 1);

    using Body = json::object;
    for (const auto& bad : {Body{{"position", 4}}, Body{{"position", -1}}, Body{{"position", 1.5}},
             Body{{"label", ""}}, Body{{"label", name64 + "ж"}}, Body{{"close", 1}},
             Body{{"label", "ok"}, {"position", "2"}}})
        EXPECT_EQ(patch(2, bad).status, 400) << json::serialize(bad);
    auto stranger = quickUser(*http, "stranger"); // another user's entries answer "not found"
    EXPECT_EQ(http->patch("/v1/contacts/" + ids[1], {{"label", "Мой"}}, stranger.idToken).status, 404);
    EXPECT_EQ(http->del("/v1/contacts/" + ids[1], stranger.idToken).status, 404);
    EXPECT_EQ(signal(*http, stranger.idToken, ids[1]), 404);
    EXPECT_TRUE(contactLabels(*http, stranger).empty());
    EXPECT_EQ(contactLabels(*http, me), (Labels{"D", name64, "C", "A"}));

    EXPECT_EQ(http->del("/v1/contacts/" + ids[1], me.idToken).status, 204);
    EXPECT_EQ(contactLabels(*http, me), (Labels{"D", "C", "A"}));
    EXPECT_EQ(http->del("/v1/contacts/" + ids[1], me.idToken).status, 404);
}

TEST_F(ContactsTest, TheListHoldsAtMostTwoHundredPeople)
{
    auto me = quickUser(*http, "popular");
    for (int i = 0; i < 200; ++i)
        addContact(*http, me, quickUser(*http, "p" + std::to_string(i)));
    json::object extra{{"code", inviteCodeOf(*http, quickUser(*http))}, {"label", "P"}};
    EXPECT_EQ(http->post("/v1/contacts", extra, me.idToken).outcome(), "400 too many contacts");
    EXPECT_EQ(contactLabels(*http, me).size(), 200u);
}
