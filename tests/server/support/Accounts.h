#pragma once
#include "support/HttpClient.h"
#include <string>

namespace tender::testing {

struct TestUser {
    std::string uid;
    std::string email;
    std::string idToken;
    std::string refreshToken;
};

std::string identityPath(const std::string& call, const std::string& key = TENDER_DEFAULT_IDENTITY_KEY);
std::string tokenPath(const std::string& key = TENDER_DEFAULT_IDENTITY_KEY);
std::string uniqueEmail(const std::string& name);

// Through the identity provider, with a password (argon2id: slow on purpose).
TestUser signUp(const HttpClient& http, const std::string& email, const std::string& password = "secret-pass");
// Through the development sign-in page and a token refresh: quick, for tests that need many users.
TestUser quickUser(const HttpClient& http, const std::string& name = "user");

HttpResult refresh(const HttpClient& http, const std::string& refreshToken);
std::string inviteCodeOf(const HttpClient& http, const TestUser& user);
// Adds `other` to `owner`'s list and gives the new entry's id.
std::string addContact(const HttpClient& http, const TestUser& owner, const TestUser& other,
    const std::string& label = "Друг");

}
