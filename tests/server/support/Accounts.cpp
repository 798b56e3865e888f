#include "support/Accounts.h"
#include <atomic>
#include <boost/json.hpp>
#include <boost/url/parse.hpp>
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

TestUser signUp(const HttpClient& http, const std::string& email, const std::string& password)
{
    auto result = http.post(identityPath("signUp"), {{"email", email}, {"password", password}, {"returnSecureToken", true}});
    if (result.status != 200)
        throw std::runtime_error("sign-up failed: " + result.body);
    auto body = result.json().as_object();
    return {json::value_to<std::string>(body["localId"]), email, json::value_to<std::string>(body["idToken"]),
        json::value_to<std::string>(body["refreshToken"])};
}

HttpResult refresh(const HttpClient& http, const std::string& refreshToken)
{
    return http.send("POST", tokenPath(), "grant_type=refresh_token&refresh_token=" + refreshToken, "",
        "application/x-www-form-urlencoded");
}

TestUser quickUser(const HttpClient& http, const std::string& name)
{
    auto email = uniqueEmail(name);
    // Encoded as a browser sends the form.
    auto encoded = email.substr(0, email.find('@')) + "%40" + email.substr(email.find('@') + 1);
    auto page = http.send("POST", "/signin", "state=S1&email=" + encoded, "", "application/x-www-form-urlencoded");
    auto location = boost::urls::parse_uri(page.headers["location"]);
    if (page.status != 303 || !location)
        throw std::runtime_error("development sign-in failed: " + std::to_string(page.status));
    TestUser user;
    user.email = email;
    for (auto param : location->params()) {
        if (param.key == "uid")
            user.uid = param.value;
        if (param.key == "rt")
            user.refreshToken = param.value;
    }
    auto token = refresh(http, user.refreshToken);
    if (token.status != 200)
        throw std::runtime_error("refresh failed: " + token.body);
    user.idToken = json::value_to<std::string>(token.json().at("id_token"));
    return user;
}

std::string inviteCodeOf(const HttpClient& http, const TestUser& user)
{
    auto me = http.get("/v1/me", user.idToken);
    auto url = json::value_to<std::string>(me.json().at("invite_url"));
    return url.substr(url.rfind("/i/") + 3);
}

std::string addContact(const HttpClient& http, const TestUser& owner, const TestUser& other, const std::string& label)
{
    auto added = http.post("/v1/contacts", {{"code", inviteCodeOf(http, other)}, {"label", label}, {"close", false}},
        owner.idToken);
    if (added.status != 201)
        throw std::runtime_error("adding a contact failed: " + added.body);
    return json::value_to<std::string>(added.json().at("id"));
}

}
