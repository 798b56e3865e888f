#include "service/TransportError.h"

namespace tender {

QString TransportError::description() const
{
    switch (kind_) {
    case Kind::NoConnection:
        return QStringLiteral("Нет связи с сервером, проверь интернет");
    case Kind::TimedOut:
        return QStringLiteral("Сервер долго не отвечает, попробуй ещё раз");
    case Kind::Dropped:
        return QStringLiteral("Связь с сервером оборвалась, попробуй ещё раз");
    case Kind::Tls:
        return QStringLiteral("Не получилось установить защищённое соединение");
    case Kind::TooLarge:
        return QStringLiteral("Сервер прислал слишком большой ответ");
    case Kind::Other:
        break;
    }
    return QStringLiteral("Не получилось связаться с сервером");
}

} // namespace tender
