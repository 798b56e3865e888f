#include "support/Accounts.h"
#include <atomic>
#include <boost/json.hpp>
#include <boost/url/parse.hpp>
#include <gtest/gtest.h>
#include <stdexcept>

namespace tender::testing {

namespace json = boost::json;

std::string identityPath(const std::string& call, const std::string& key)
{
    return "/identitytoolkit/v1/accounts:" + call + "?key=" + key;
}

std::string tokenPath(const std::string& key)
{
    return "/securetoken/v1/token?key=" + key;
}

std::string uniqueEmail(const std::string& name)
{
    static std::atomic<int> counter{0};
    return name + "." + std::to_string(++counter) + "@example.org";
}

json::object passwordBody(const std::string& email, const std::string& password)
{
    return {{"email", email}, {"password", password}, {"returnSecureToken", true}};
}

TestUser signUp(const HttpClient& http, const std::string& email, const std::string& password)
{
    auto result = http.post(identityPath("signUp"), passwordBody(email, password));
    if (result.status != 200)
        throw std::runtime_error("sign-up failed: " + result.body);
    return {result.field("/localId"), email, result.field("/idToken"), result.field("/refreshToken")};
}

HttpResult signIn(const HttpClient& http, const std::string& email, const std::string& password)
{
    return http.post(identityPath("signInWithPassword"), passwordBody(email, password));
}

HttpResult refresh(const HttpClient& http, const std::string& refreshToken, const std::string& grant,
    const std::string& key)
{
    return http.postForm(tokenPath(key), {{"grant_type", grant}, {"refresh_token", refreshToken}});
}

std::map<std::string, std::string> signinCallback(const HttpResult& page)
{
    std::map<std::string, std::string> items;
    auto location = page.headers.count("location") ? page.headers.at("location") : "";
    auto url = boost::urls::parse_uri(location); // a view into `location`
    if (url && url->scheme() == "tender" && url->host() == "signin")
        for (auto param : url->params())
            items.emplace(param.key, param.value);
    return items;
}

TestUser quickUser(const HttpClient& http, const std::string& name)
{
    auto email = uniqueEmail(name);
    auto page = http.postForm("/signin", {{"state", "S1"}, {"email", email}});
    auto callback = signinCallback(page);
    if (page.status != 303 || callback.empty())
        throw std::runtime_error("development sign-in failed: " + std::to_string(page.status));
    TestUser user{callback["uid"], email, "", callback["rt"]};
    user.idToken = refresh(http, user.refreshToken).field("/id_token");
    if (user.idToken.empty())
        throw std::runtime_error("refresh failed");
    return user;
}

HttpResult sendReset(const HttpClient& http, const std::string& email)
{
    return http.post(identityPath("sendOobCode"), {{"requestType", "PASSWORD_RESET"}, {"email", email}});
}

std::string inviteCodeOf(const HttpClient& http, const TestUser& user)
{
    auto url = http.get("/v1/me", user.idToken).field("/invite_url");
    return url.substr(url.rfind("/i/") + 3);
}

std::string addContact(const HttpClient& http, const TestUser& owner, const TestUser& other,
    const std::string& label)
{
    json::object body{{"code", inviteCodeOf(http, other)}, {"label", label}, {"close", false}};
    auto added = http.post("/v1/contacts", body, owner.idToken);
    if (added.status != 201)
        throw std::runtime_error("adding a contact failed: " + added.body);
    return added.field("/id");
}

std::vector<std::string> contactLabels(const HttpClient& http, const TestUser& user)
{
    auto list = http.get("/v1/contacts", user.idToken).json().at("contacts").as_array();
    std::vector<std::string> labels;
    for (std::size_t i = 0; i < list.size(); ++i) {
        EXPECT_EQ(list[i].at("position"), static_cast<std::int64_t>(i));
        labels.emplace_back(list[i].at("label").as_string());
    }
    return labels;
}

json::object deviceBody(const std::string& name, json::array capabilities)
{
    return {{"name", name}, {"kind", "custom"}, {"capabilities", std::move(capabilities)}};
}

PairedDevice pairDevice(const HttpClient& http, const TestUser& owner, json::array capabilities)
{
    auto paired = http.post("/v1/devices", deviceBody("Лампа", std::move(capabilities)), owner.idToken);
    if (paired.status != 201)
        throw std::runtime_error("pairing failed: " + paired.body);
    return {paired.field("/device/id"), paired.field("/token")};
}

int signal(const HttpClient& http, const std::string& bearer, const std::string& contact)
{
    auto to = contact.empty() ? json::object{{"anyone", true}} : json::object{{"contact", contact}};
    return http.post("/v1/events", {{"type", "signal"}, {"to", to}}, bearer).status;
}

}
