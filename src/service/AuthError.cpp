#include "service/AuthError.h"

#include <QStringList>

namespace tender {

QString AuthError::code() const
{
    return message_.section(u' ', 0, 0);
}

bool AuthError::endsSession() const
{
    if (kind_ == Kind::SignedOut)
        return true;
    static const QStringList ending{"TOKEN_EXPIRED", "USER_DISABLED", "USER_NOT_FOUND",
                                    "INVALID_REFRESH_TOKEN", "INVALID_GRANT_TYPE"};
    return std::any_of(ending.begin(), ending.end(),
                       [this](const QString &prefix) { return message_.startsWith(prefix); });
}

QString AuthError::description() const
{
    if (kind_ == Kind::SignedOut)
        return QStringLiteral("Нужно войти заново");
    const QString c = code();
    if (c == u"INVALID_PASSWORD")
        return QStringLiteral("Неверный пароль");
    if (c == u"WEAK_PASSWORD")
        return QStringLiteral("Пароль слишком простой");
    if (c == u"INVALID_EMAIL" || c == u"MISSING_EMAIL")
        return QStringLiteral("Проверь адрес почты");
    if (c == u"MISSING_PASSWORD")
        return QStringLiteral("Введи пароль");
    if (c == u"TOO_MANY_ATTEMPTS_TRY_LATER")
        return QStringLiteral("Слишком много попыток, попробуй чуть позже");
    if (c == u"USER_DISABLED")
        return QStringLiteral("Этот аккаунт отключён");
    if (c == u"BAD_CALLBACK")
        return QStringLiteral("Вход не завершился, попробуй ещё раз");
    return QStringLiteral("Не получилось войти (%1)").arg(c);
}

bool endsSession(const std::exception_ptr &failure)
{
    try {
        std::rethrow_exception(failure);
    } catch (const AuthError &error) {
        return error.endsSession();
    } catch (...) {
        return false;
    }
}

} // namespace tender
