#include "platform/PreferenceJson.h"

#include <QJsonValue>
#include <QVariant>

namespace tender::PreferenceJson {

namespace {

QJsonObject tagged(const QString &type, const QJsonValue &value)
{
    return QJsonObject{{QStringLiteral("type"), type}, {QStringLiteral("value"), value}};
}

QJsonObject encodeScalar(const PreferenceScalar &scalar)
{
    struct Encoder {
        QJsonObject operator()(bool value) const { return tagged(QStringLiteral("boolean"), value); }
        QJsonObject operator()(qint64 value) const { return tagged(QStringLiteral("integer"), value); }
        QJsonObject operator()(double value) const { return tagged(QStringLiteral("double"), value); }
        QJsonObject operator()(const QString &value) const { return tagged(QStringLiteral("text"), value); }
        QJsonObject operator()(const QDateTime &value) const
        {
            return tagged(QStringLiteral("date"), value.toUTC().toString(Qt::ISODateWithMs));
        }
    };
    return std::visit(Encoder{}, scalar);
}

std::optional<PreferenceScalar> decodeScalar(const QString &type, const QJsonValue &value)
{
    if (type == u"boolean" && value.isBool())
        return value.toBool();
    if (type == u"integer" && value.toVariant().typeId() == QMetaType::LongLong)
        return value.toInteger();
    if (type == u"double" && value.isDouble())
        return value.toDouble();
    if (type == u"text" && value.isString())
        return value.toString();
    if (type == u"date" && value.isString()) {
        const QDateTime date = QDateTime::fromString(value.toString(), Qt::ISODateWithMs);
        if (date.isValid())
            return date;
    }
    return std::nullopt;
}

std::optional<PreferenceDictionary> decodeDictionary(const QJsonValue &value)
{
    if (!value.isObject())
        return std::nullopt;
    const QJsonObject entries = value.toObject();
    PreferenceDictionary dictionary;
    for (auto it = entries.begin(); it != entries.end(); ++it) {
        const QJsonObject entry = it.value().toObject();
        const auto scalar = decodeScalar(entry.value(u"type").toString(), entry.value(u"value"));
        if (!scalar)
            return std::nullopt;
        dictionary.insert(it.key(), *scalar);
    }
    return dictionary;
}

} // namespace

QJsonObject encode(const PreferenceValue &value)
{
    if (const auto *dictionary = std::get_if<PreferenceDictionary>(&value)) {
        QJsonObject entries;
        for (auto it = dictionary->cbegin(); it != dictionary->cend(); ++it)
            entries.insert(it.key(), encodeScalar(it.value()));
        return tagged(QStringLiteral("dictionary"), entries);
    }
    return std::visit([](const auto &held) -> QJsonObject {
        if constexpr (std::is_same_v<std::decay_t<decltype(held)>, PreferenceDictionary>)
            return {};
        else
            return encodeScalar(held);
    }, value);
}

std::optional<PreferenceValue> decode(const QJsonValue &json)
{
    const QJsonObject object = json.toObject();
    const QString type = object.value(u"type").toString();
    const QJsonValue value = object.value(u"value");
    if (type == u"dictionary") {
        if (auto dictionary = decodeDictionary(value))
            return PreferenceValue(std::move(*dictionary));
        return std::nullopt;
    }
    if (auto scalar = decodeScalar(type, value))
        return std::visit([](auto &&held) { return PreferenceValue(std::move(held)); }, std::move(*scalar));
    return std::nullopt;
}

} // namespace tender::PreferenceJson
