#pragma once

#include "records/DecodingError.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <optional>

// Strict readers for the service's records: a missing or mistyped required
// key throws DecodingError; an optional key may be missing or null.
namespace tender::json {

QJsonObject parseObject(const QByteArray &bytes);

QString requiredString(const QJsonObject &object, QLatin1StringView key);
qint64 requiredInteger(const QJsonObject &object, QLatin1StringView key);
QJsonObject requiredObject(const QJsonObject &object, QLatin1StringView key);
QJsonArray requiredArray(const QJsonObject &object, QLatin1StringView key);
QStringList requiredStrings(const QJsonObject &object, QLatin1StringView key);
std::optional<bool> optionalBool(const QJsonObject &object, QLatin1StringView key);
std::optional<QString> optionalString(const QJsonObject &object, QLatin1StringView key);

template<typename Record>
QList<Record> requiredList(const QJsonObject &object, QLatin1StringView key)
{
    QList<Record> records;
    for (const QJsonValue &item : requiredArray(object, key)) {
        if (!item.isObject())
            throw DecodingError(QStringLiteral("%1: not an object").arg(key));
        records.append(Record::fromJson(item.toObject()));
    }
    return records;
}

} // namespace tender::json
