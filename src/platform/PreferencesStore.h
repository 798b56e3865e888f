#pragma once

#include "platform/PreferenceValue.h"

#include <optional>

namespace tender {

// The per-user key-value store. Values keep their types across restarts; a
// typed reader treats a value of another type as missing. Every change is
// written through at once; set() and remove() answer false when the change
// stayed in memory only.
class PreferencesStore {
public:
    virtual ~PreferencesStore() = default;

    virtual std::optional<PreferenceValue> value(const QString &key) const = 0;
    virtual bool set(const QString &key, const PreferenceValue &value) = 0;
    virtual bool remove(const QString &key) = 0;

    // A whole number: an integer, or a double without a fractional part.
    std::optional<qint64> integer(const QString &key) const;
    std::optional<bool> boolean(const QString &key) const;
    // An integer or a double.
    std::optional<double> number(const QString &key) const;
    std::optional<QString> text(const QString &key) const;
    std::optional<QDateTime> date(const QString &key) const;
    // A dictionary all of whose entries are whole numbers, or all dates.
    std::optional<QMap<QString, qint64>> integerDictionary(const QString &key) const;
    std::optional<QMap<QString, QDateTime>> dateDictionary(const QString &key) const;

    bool setInteger(const QString &key, qint64 value) { return set(key, value); }
    bool setBoolean(const QString &key, bool value) { return set(key, value); }
    bool setNumber(const QString &key, double value) { return set(key, value); }
    bool setText(const QString &key, const QString &value) { return set(key, value); }
    bool setDate(const QString &key, const QDateTime &value) { return set(key, value); }
    bool setIntegerDictionary(const QString &key, const QMap<QString, qint64> &value);
    bool setDateDictionary(const QString &key, const QMap<QString, QDateTime> &value);
};

} // namespace tender
