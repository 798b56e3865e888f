#pragma once
#include "support/HttpClient.h"
#include <array>
#include <boost/json/array.hpp>
#include <boost/json/object.hpp>
#include <string>
#include <vector>

namespace tender::testing {

struct TestUser {
    std::string uid;
    std::string email;
    std::string idToken;
    std::string refreshToken;
};

struct PairedDevice {
    std::string id;
    std::string token;
};

std::string identityPath(const std::string& call, const std::string& key = TENDER_DEFAULT_IDENTITY_KEY);
std::string tokenPath(const std::string& key = TENDER_DEFAULT_IDENTITY_KEY);
std::string uniqueEmail(const std::string& name);
boost::json::object passwordBody(const std::string& email, const std::string& password);

// Through the identity provider, with a password (argon2id: slow on purpose).
TestUser signUp(const HttpClient& http, const std::string& email,
    const std::string& password = "secret-pass");
HttpResult signIn(const HttpClient& http, const std::string& email, const std::string& password);
// The fields of the tender://signin callback a sign-in page redirects to (none when it does not).
std::map<std::string, std::string> signinCallback(const HttpResult& page);
// Through the development sign-in page and a token refresh: quick, for tests that need many users.
TestUser quickUser(const HttpClient& http, const std::string& name = "user");
// Several at once: auto [a, b] = quickUsers(http, "a", "b").
template <class... Names>
std::array<TestUser, sizeof...(Names)> quickUsers(const HttpClient& http, const Names&... names)
{
    return {quickUser(http, names)...};
}

HttpResult refresh(const HttpClient& http, const std::string& refreshToken,
    const std::string& grant = "refresh_token", const std::string& key = TENDER_DEFAULT_IDENTITY_KEY);
// Asks for a mail with a link to set a new password.
HttpResult sendReset(const HttpClient& http, const std::string& email);
std::string inviteCodeOf(const HttpClient& http, const TestUser& user);
// Adds `other` to `owner`'s list and gives the new entry's id.
std::string addContact(const HttpClient& http, const TestUser& owner, const TestUser& other,
    const std::string& label = "Друг");
// The labels of `user`'s list in order, each entry's position checked against its index.
std::vector<std::string> contactLabels(const HttpClient& http, const TestUser& user);
boost::json::object deviceBody(const std::string& name, boost::json::array capabilities);
PairedDevice pairDevice(const HttpClient& http, const TestUser& owner, boost::json::array capabilities);
// A heart to the entry `contact` of the bearer's list, or to anyone without one; the answer's status.
int signal(const HttpClient& http, const std::string& bearer, const std::string& contact = "");

}
