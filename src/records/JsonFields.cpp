#include "records/DecodingError.h"
#include "records/JsonFields.h"

#include <cmath>

namespace tender::json {

namespace {

QJsonValue present(const QJsonObject &object, QLatin1StringView key)
{
    const QJsonValue value = object.value(key);
    if (value.isUndefined())
        throw DecodingError(QStringLiteral("missing key \"%1\"").arg(key));
    return value;
}

[[noreturn]] void mistyped(QLatin1StringView key, const char *expected)
{
    throw DecodingError(QStringLiteral("key \"%1\" is not %2").arg(key, QLatin1StringView(expected)));
}

} // namespace

QJsonObject parseObject(const QByteArray &bytes)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        throw DecodingError(QStringLiteral("the answer is not a JSON object"));
    return document.object();
}

QString requiredString(const QJsonObject &object, QLatin1StringView key)
{
    const QJsonValue value = present(object, key);
    if (!value.isString())
        mistyped(key, "a string");
    return value.toString();
}

qint64 requiredInteger(const QJsonObject &object, QLatin1StringView key)
{
    const QJsonValue value = present(object, key);
    const double number = value.toDouble();
    // Beyond 2^53 a double no longer tells integers apart; such positions are not ours.
    if (!value.isDouble() || std::trunc(number) != number || std::fabs(number) > 9007199254740992.0)
        mistyped(key, "an integer");
    return value.toInteger();
}

QJsonObject requiredObject(const QJsonObject &object, QLatin1StringView key)
{
    const QJsonValue value = present(object, key);
    if (!value.isObject())
        mistyped(key, "an object");
    return value.toObject();
}

QJsonArray requiredArray(const QJsonObject &object, QLatin1StringView key)
{
    const QJsonValue value = present(object, key);
    if (!value.isArray())
        mistyped(key, "an array");
    return value.toArray();
}

QStringList requiredStrings(const QJsonObject &object, QLatin1StringView key)
{
    QStringList strings;
    for (const QJsonValue &item : requiredArray(object, key)) {
        if (!item.isString())
            mistyped(key, "an array of strings");
        strings.append(item.toString());
    }
    return strings;
}

std::optional<bool> optionalBool(const QJsonObject &object, QLatin1StringView key)
{
    const QJsonValue value = object.value(key);
    if (value.isUndefined() || value.isNull())
        return std::nullopt;
    if (!value.isBool())
        mistyped(key, "a boolean");
    return value.toBool();
}

std::optional<QString> optionalString(const QJsonObject &object, QLatin1StringView key)
{
    const QJsonValue value = object.value(key);
    if (value.isUndefined() || value.isNull())
        return std::nullopt;
    if (!value.isString())
        mistyped(key, "a string");
    return value.toString();
}

} // namespace tender::json
