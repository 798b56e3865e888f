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
constexpr const char* tooManyAttempts = "TOO_MANY_ATTEMPTS_TRY_LATER : Access to this account has been temporarily "
                                        "disabled due to many failed login attempts. Try again later.";

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

}

IdentityProvider::IdentityProvider(Store& store, Hub& hub, const IdTokens& tokens, LoginThrottle& throttle,
    Outbox& outbox, std::string webBase)
    : store_(store)
    , hub_(hub)
    , tokens_(tokens)
    , throttle_(throttle)
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

Outcome<Credentials> IdentityProvider::signIn(const std::string& email, const std::string& password)
{
    auto address = normalEmail(email);
    if (!address)
        return Outcome<Credentials>::failure(address.error());
    if (password.empty())
        return Outcome<Credentials>::failure("MISSING_PASSWORD");
    if (throttle_.blocked(*address, nowMs()))
        return Outcome<Credentials>::failure(tooManyAttempts);
    auto user = store_.userByEmail(*address);
    if (!passwordMatches(user, password)) {
        throttle_.failed(*address, nowMs());
        return Outcome<Credentials>::failure("INVALID_LOGIN_CREDENTIALS");
    }
    throttle_.succeeded(*address);
    return startSession(*user);
}

Outcome<Credentials> IdentityProvider::signUp(const std::string& email, const std::string& password)
{
    auto address = normalEmail(email);
    if (!address)
        return Outcome<Credentials>::failure(address.error());
    if (password.empty())
        return Outcome<Credentials>::failure("MISSING_PASSWORD");
    if (codePoints(password) < minPasswordLength)
        return Outcome<Credentials>::failure("WEAK_PASSWORD : Password should be at least 6 characters");
    if (password.size() > maxPasswordBytes)
        return Outcome<Credentials>::failure("WEAK_PASSWORD : Password is too long");
    if (store_.userByEmail(*address))
        return Outcome<Credentials>::failure("EMAIL_EXISTS");
    auto user = createAccount(*address, hashPassword(password));
    if (!user)
        return Outcome<Credentials>::failure(user.error());
    return startSession(*user);
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

Outcome<bool> IdentityProvider::sendPasswordReset(const std::string& email)
{
    auto address = normalEmail(email);
    if (!address)
        return Outcome<bool>::failure(address.error());
    auto user = store_.userByEmail(*address);
    if (!user)
        return true;
    auto code = randomId(secretLength);
    store_.addResetCode(tokenHash(code), user->uid, nowMs() + resetCodeLifetimeMs);
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

Outcome<bool> IdentityProvider::resetPassword(const std::string& code, const std::string& newPassword)
{
    if (codePoints(newPassword) < minPasswordLength || newPassword.size() > maxPasswordBytes)
        return Outcome<bool>::failure("WEAK_PASSWORD");
    auto uid = store_.takeResetCode(tokenHash(code), nowMs());
    if (!uid)
        return Outcome<bool>::failure("EXPIRED_OOB_CODE");
    store_.replacePassword(*uid, hashPassword(newPassword));
    hub_.closeUser(*uid);
    if (auto user = store_.userById(*uid))
        throttle_.succeeded(user->email);
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
