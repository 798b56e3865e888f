#include "identity/IdentityProvider.h"
#include "api/InviteCode.h"
#include "common/Random.h"
#include "common/Text.h"
#include "common/Time.h"
#include "crypto/Password.h"
#include "crypto/TokenHash.h"

namespace tender::server {
namespace {

constexpr std::size_t uidLength = 28;
constexpr std::size_t secretLength = 40;
constexpr std::size_t maxPasswordBytes = 4096;

bool looksLikeEmail(const std::string& email)
{
    auto at = email.find('@');
    if (at == std::string::npos || at == 0 || email.find('@', at + 1) != std::string::npos || email.size() > 254)
        return false;
    auto domain = email.substr(at + 1);
    auto dot = domain.find('.');
    return dot != std::string::npos && dot != 0 && domain.back() != '.'
        && email.find_first_of(" \t\r\n,;<>()[]\\\"") == std::string::npos && !hasControlCharacters(email);
}

// Unknown addresses cost as much time as known ones, so timing tells nothing either.
bool passwordMatches(const std::optional<User>& user, const std::string& password)
{
    static const std::string decoy = hashPassword(randomId(secretLength));
    if (password.size() > maxPasswordBytes)
        return false;
    if (!user || !user->passwordHash) {
        verifyPassword(decoy, password);
        return false;
    }
    return verifyPassword(*user->passwordHash, password);
}

std::int64_t nowSeconds()
{
    return nowMs() / 1000;
}

std::string addressAndClient(const std::string& address, const std::string& client)
{
    return address + "\n" + client;
}

template <class T>
Outcome<T> tooMany()
{
    return Outcome<T>::failure(IdentityProvider::tooManyAttempts);
}

}

IdentityProvider::IdentityProvider(Store& store, Hub& hub, const IdTokens& tokens, IdentityLimits& limits,
    Outbox& outbox, std::string webBase)
    : store_(store)
    , hub_(hub)
    , tokens_(tokens)
    , limits_(limits)
    , outbox_(outbox)
    , webBase_(std::move(webBase))
{
}

Outcome<std::string> IdentityProvider::normalEmail(const std::string& email)
{
    std::string normal = asciiLower(trimmed(email));
    if (normal.empty())
        return Outcome<std::string>::failure("MISSING_EMAIL");
    if (!looksLikeEmail(normal))
        return Outcome<std::string>::failure("INVALID_EMAIL");
    return normal;
}

Outcome<Credentials> IdentityProvider::signIn(const std::string& email, const std::string& password,
    const std::string& client)
{
    auto address = normalEmail(email);
    if (!address)
        return Outcome<Credentials>::failure(address.error());
    if (password.empty())
        return Outcome<Credentials>::failure("MISSING_PASSWORD");
    auto now = nowMs();
    auto failures = addressAndClient(*address, client);
    if (limits_.passwordChecks.take(client, now) || limits_.failedPasswords.check(failures, now))
        return tooMany<Credentials>();
    auto user = store_.userByEmail(*address);
    if (!passwordMatches(user, password)) {
        limits_.failedPasswords.count(failures, now);
        return Outcome<Credentials>::failure("INVALID_LOGIN_CREDENTIALS");
    }
    limits_.failedPasswords.clear(failures);
    return startSession(*user);
}

// An existing account is named before the new password is judged: the app turns EMAIL_EXISTS after a
// failed sign-in into "wrong password", whatever that password looks like.
Outcome<Credentials> IdentityProvider::signUp(const std::string& email, const std::string& password,
    const std::string& client)
{
    auto address = normalEmail(email);
    if (!address)
        return Outcome<Credentials>::failure(address.error());
    if (password.empty())
        return Outcome<Credentials>::failure("MISSING_PASSWORD");
    if (limits_.passwordChecks.take(client, nowMs()))
        return tooMany<Credentials>();
    if (store_.userByEmail(*address))
        return Outcome<Credentials>::failure("EMAIL_EXISTS");
    if (codePoints(password) < minPasswordLength)
        return Outcome<Credentials>::failure("WEAK_PASSWORD : Password should be at least 6 characters");
    if (password.size() > maxPasswordBytes)
        return Outcome<Credentials>::failure("WEAK_PASSWORD : Password is too long");
    auto user = createAccount(*address, hashPassword(password));
    if (!user)
        return Outcome<Credentials>::failure(user.error());
    return startSession(*user);
}

Outcome<Credentials> IdentityProvider::signInOrCreate(const std::string& email, const std::string& password,
    const std::string& client)
{
    auto signedIn = signIn(email, password, client);
    if (signedIn || !signedIn.error().starts_with("INVALID_LOGIN_CREDENTIALS"))
        return signedIn;
    auto created = signUp(email, password, client);
    if (!created && created.error().starts_with("EMAIL_EXISTS"))
        return Outcome<Credentials>::failure("INVALID_PASSWORD");
    return created;
}

Outcome<Credentials> IdentityProvider::refresh(const std::string& refreshToken)
{
    // Whether a uid exists is nobody's business: every unknown token gets the same answer.
    auto grant = store_.refreshGrant(tokenHash(refreshToken));
    if (!grant)
        return Outcome<Credentials>::failure("INVALID_REFRESH_TOKEN");
    if (grant->revoked)
        return Outcome<Credentials>::failure("TOKEN_EXPIRED");
    auto user = store_.userById(grant->uid);
    if (!user)
        return Outcome<Credentials>::failure("USER_NOT_FOUND");
    return credentialsFor(*user, refreshToken);
}

// Every refusal comes before the address is looked up, so none of them tells whether it has an account.
Outcome<bool> IdentityProvider::sendPasswordReset(const std::string& email, const std::string& client)
{
    auto address = normalEmail(email);
    if (!address)
        return Outcome<bool>::failure(address.error());
    auto now = nowMs();
    if (limits_.resetMailsFromClient.take(client, now) || limits_.resetMailsToAddress.take(*address, now))
        return tooMany<bool>();
    if (!outbox_.hasRoom()) {
        limits_.outboxFull.add();
        return tooMany<bool>();
    }
    auto user = store_.userByEmail(*address);
    if (!user)
        return true;
    auto code = randomId(secretLength);
    store_.addResetCode(tokenHash(code), user->uid, now + resetCodeLifetimeMs);
    outbox_.send(user->email, "Новый пароль для Tender",
        "Чтобы задать новый пароль, открой ссылку (она действует час):\n" + webBase_ + "/reset?code=" + code);
    return true;
}

Outcome<Credentials> IdentityProvider::signInWithoutPassword(const std::string& email)
{
    auto address = normalEmail(email);
    if (!address)
        return Outcome<Credentials>::failure(address.error());
    auto user = store_.userByEmail(*address);
    if (user)
        return startSession(*user);
    auto created = createAccount(*address, std::nullopt);
    if (!created)
        return Outcome<Credentials>::failure(created.error());
    return startSession(*created);
}

Outcome<bool> IdentityProvider::resetPassword(const std::string& code, const std::string& newPassword,
    const std::string& client)
{
    if (codePoints(newPassword) < minPasswordLength || newPassword.size() > maxPasswordBytes)
        return Outcome<bool>::failure("WEAK_PASSWORD");
    if (limits_.passwordChecks.take(client, nowMs()))
        return tooMany<bool>();
    auto uid = store_.takeResetCode(tokenHash(code), nowMs());
    if (!uid)
        return Outcome<bool>::failure("EXPIRED_OOB_CODE");
    store_.replacePassword(*uid, hashPassword(newPassword));
    hub_.closeUser(*uid);
    // Whoever locked themselves out and then reset the password may sign in at once from here.
    if (auto user = store_.userById(*uid))
        limits_.failedPasswords.clear(addressAndClient(user->email, client));
    return true;
}

Outcome<User> IdentityProvider::createAccount(const std::string& email, std::optional<std::string> passwordHash)
{
    for (int attempt = 0; attempt < 8; ++attempt) {
        User user{randomId(uidLength), email, inviteCode::generate(), passwordHash, nowMs()};
        if (store_.createUser(user))
            return user;
        if (store_.userByEmail(email))
            return Outcome<User>::failure("EMAIL_EXISTS");
    }
    throw std::runtime_error("cannot find a free invite code");
}

Credentials IdentityProvider::startSession(const User& user)
{
    auto refreshToken = user.uid + "." + randomId(secretLength);
    store_.addRefreshToken(tokenHash(refreshToken), user.uid);
    return credentialsFor(user, std::move(refreshToken));
}

Credentials IdentityProvider::credentialsFor(const User& user, std::string refreshToken)
{
    return Credentials{user.uid, user.email, tokens_.issue(user.uid, user.email, nowSeconds(), user.sessionEpoch),
        std::move(refreshToken), IdTokens::lifetimeSeconds};
}

}
