#pragma once
#include "common/Outcome.h"
#include "hub/Hub.h"
#include "identity/IdTokens.h"
#include "identity/IdentityLimits.h"
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

// The identity provider: accounts, passwords, refresh tokens and identity tokens. Failures carry the
// provider's error codes (EMAIL_EXISTS, INVALID_REFRESH_TOKEN, ...). `client` is who asks, as the
// limits count it.
class IdentityProvider {
public:
    static constexpr std::size_t minPasswordLength = 6;
    static constexpr std::int64_t resetCodeLifetimeMs = 60 * 60 * 1000;
    static constexpr const char* tooManyAttempts = "TOO_MANY_ATTEMPTS_TRY_LATER : Access to this account has been "
                                                   "temporarily disabled due to many failed login attempts. Try again later.";

    IdentityProvider(Store& store, Hub& hub, const IdTokens& tokens, IdentityLimits& limits, Outbox& outbox,
        std::string webBase);

    Outcome<Credentials> signIn(const std::string& email, const std::string& password, const std::string& client);
    Outcome<Credentials> signUp(const std::string& email, const std::string& password, const std::string& client);
    // What the app does with an e-mail and a password: sign in, or create the account when there is
    // none; INVALID_PASSWORD when the account exists and the password is wrong.
    Outcome<Credentials> signInOrCreate(const std::string& email, const std::string& password,
        const std::string& client);
    Outcome<Credentials> refresh(const std::string& refreshToken);
    // Never says whether the address has an account.
    Outcome<bool> sendPasswordReset(const std::string& email, const std::string& client);
    // Finds or creates the account without a password: the development sign-in page.
    Outcome<Credentials> signInWithoutPassword(const std::string& email);
    // Sets the new password and ends every session signed in before: tokens, open streams, other codes.
    Outcome<bool> resetPassword(const std::string& code, const std::string& newPassword, const std::string& client);

    // The address as stored (trimmed, lower case), or the error code for a missing or malformed one.
    static Outcome<std::string> normalEmail(const std::string& email);

private:
    Outcome<User> createAccount(const std::string& email, std::optional<std::string> passwordHash);
    Credentials startSession(const User& user);
    Credentials credentialsFor(const User& user, std::string refreshToken);

    Store& store_;
    Hub& hub_;
    const IdTokens& tokens_;
    IdentityLimits& limits_;
    Outbox& outbox_;
    std::string webBase_;
};

}
