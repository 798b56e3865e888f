#include "platform/PreferencesStore.h"

#include <cmath>

namespace tender {

namespace {

template<typename Alternative>
std::optional<Alternative> as(const std::optional<PreferenceValue> &value)
{
    if (value && std::holds_alternative<Alternative>(*value))
        return std::get<Alternative>(*value);
    return std::nullopt;
}

// Works on a scalar as well as on a whole value: both variants share these alternatives.
template<typename Variant>
std::optional<qint64> wholeNumber(const Variant &scalar)
{
    if (const auto *integer = std::get_if<qint64>(&scalar))
        return *integer;
    if (const auto *real = std::get_if<double>(&scalar)) {
        // 2^63 itself is not representable as qint64, hence the strict bound.
        constexpr double limit = 9223372036854775808.0;
        if (std::isfinite(*real) && std::trunc(*real) == *real && *real >= -limit && *real < limit)
            return qint64(*real);
    }
    return std::nullopt;
}

template<typename Entry, typename Convert>
std::optional<QMap<QString, Entry>> typedDictionary(const std::optional<PreferenceValue> &value, Convert convert)
{
    const auto dictionary = as<PreferenceDictionary>(value);
    if (!dictionary)
        return std::nullopt;
    QMap<QString, Entry> result;
    for (auto it = dictionary->cbegin(); it != dictionary->cend(); ++it) {
        const std::optional<Entry> entry = convert(it.value());
        if (!entry)
            return std::nullopt;
        result.insert(it.key(), *entry);
    }
    return result;
}

std::optional<QDateTime> dateOf(const PreferenceScalar &scalar)
{
    if (const auto *date = std::get_if<QDateTime>(&scalar))
        return *date;
    return std::nullopt;
}

template<typename Entry>
PreferenceDictionary untyped(const QMap<QString, Entry> &typed)
{
    PreferenceDictionary dictionary;
    for (auto it = typed.cbegin(); it != typed.cend(); ++it)
        dictionary.insert(it.key(), it.value());
    return dictionary;
}

} // namespace

std::optional<qint64> PreferencesStore::integer(const QString &key) const
{
    const auto stored = value(key);
    return stored ? wholeNumber(*stored) : std::nullopt;
}

std::optional<bool> PreferencesStore::boolean(const QString &key) const
{
    return as<bool>(value(key));
}

std::optional<double> PreferencesStore::number(const QString &key) const
{
    const auto stored = value(key);
    if (const auto integer = as<qint64>(stored))
        return double(*integer);
    return as<double>(stored);
}

std::optional<QString> PreferencesStore::text(const QString &key) const
{
    return as<QString>(value(key));
}

std::optional<QDateTime> PreferencesStore::date(const QString &key) const
{
    return as<QDateTime>(value(key));
}

std::optional<QMap<QString, qint64>> PreferencesStore::integerDictionary(const QString &key) const
{
    return typedDictionary<qint64>(value(key), wholeNumber<PreferenceScalar>);
}

std::optional<QMap<QString, QDateTime>> PreferencesStore::dateDictionary(const QString &key) const
{
    return typedDictionary<QDateTime>(value(key), dateOf);
}

bool PreferencesStore::setIntegerDictionary(const QString &key, const QMap<QString, qint64> &value)
{
    return set(key, untyped(value));
}

bool PreferencesStore::setDateDictionary(const QString &key, const QMap<QString, QDateTime> &value)
{
    return set(key, untyped(value));
}

} // namespace tender
