#pragma once
#include "common/Outcome.h"
#include "hub/Hub.h"
#include "identity/IdTokens.h"
#include "identity/LoginThrottle.h"
#include "identity/Outbox.h"
#include "store/Store.h"
#include <string>

namespace tender::server {

struct Credentials {
    std::string uid;
    std::string email;
    std::string idToken;
    std::string refreshToken;
    std::int64_t expiresIn = 0;
};

// The development identity provider: accounts, passwords, refresh tokens and identity tokens.
// Failures carry the provider's error codes (EMAIL_EXISTS, INVALID_REFRESH_TOKEN, ...).
class IdentityProvider {
public:
    static constexpr std::size_t minPasswordLength = 6;
    static constexpr std::int64_t resetCodeLifetimeMs = 60 * 60 * 1000;

    IdentityProvider(Store& store, Hub& hub, const IdTokens& tokens, LoginThrottle& throttle, Outbox& outbox,
        std::string webBase);

    Outcome<Credentials> signIn(const std::string& email, const std::string& password);
    Outcome<Credentials> signUp(const std::string& email, const std::string& password);
    Outcome<Credentials> refresh(const std::string& refreshToken);
    // Never says whether the address has an account.
    Outcome<bool> sendPasswordReset(const std::string& email);
    // Finds or creates the account without a password: the development sign-in page.
    Outcome<Credentials> signInWithoutPassword(const std::string& email);
    // Sets the new password and ends every session signed in before: tokens, open streams, other codes.
    Outcome<bool> resetPassword(const std::string& code, const std::string& newPassword);

    // The address as stored (trimmed, lower case), or the error code for a missing or malformed one.
    static Outcome<std::string> normalEmail(const std::string& email);

private:
    Outcome<User> createAccount(const std::string& email, std::optional<std::string> passwordHash);
    Credentials startSession(const User& user);
    Credentials credentialsFor(const User& user, std::string refreshToken);

    Store& store_;
    Hub& hub_;
    const IdTokens& tokens_;
    LoginThrottle& throttle_;
    Outbox& outbox_;
    std::string webBase_;
};

}
