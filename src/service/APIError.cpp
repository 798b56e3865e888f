#include "service/APIError.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace tender {

QString APIError::description() const
{
    switch (status_) {
    case 400:
        if (message_ == u"that is your own invite")
            return QStringLiteral("Это твоя собственная ссылка");
        if (message_ == u"not an invite code")
            return QStringLiteral("Не похоже на ссылку-приглашение");
        if (message_ == u"too many contacts")
            return QStringLiteral("В списке уже 200 человек");
        break;
    case 404:
        return QStringLiteral("Не нашли");
    case 409:
        return QStringLiteral("Уже есть в списке");
    case 429:
        return QStringLiteral("Слишком много попыток, попробуй через час");
    }
    return QStringLiteral("Сервер не ответил, попробуй ещё раз");
}

QString APIError::messageOf(const QByteArray &body)
{
    const QJsonValue error = QJsonDocument::fromJson(body).object().value(QLatin1StringView("error"));
    return error.isString() ? error.toString() : QString();
}

} // namespace tender
