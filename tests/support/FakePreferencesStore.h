#pragma once

#include "platform/PreferencesStore.h"

namespace tender::test {

class FakePreferencesStore final : public PreferencesStore {
public:
    std::optional<PreferenceValue> value(const QString &key) const override
    {
        return values_.contains(key) ? std::optional(values_[key]) : std::nullopt;
    }
    bool set(const QString &key, const PreferenceValue &value) override
    {
        values_.insert(key, value);
        return true;
    }
    bool remove(const QString &key) override
    {
        values_.remove(key);
        return true;
    }

private:
    QMap<QString, PreferenceValue> values_;
};

} // namespace tender::test
