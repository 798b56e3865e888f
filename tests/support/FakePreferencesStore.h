#pragma once

#include "platform/PreferencesStore.h"

namespace tender::test {

class FakePreferencesStore final : public PreferencesStore {
public:
    std::optional<PreferenceValue> value(const QString &key) const override
    {
        const auto found = values_.constFind(key);
        return found == values_.constEnd() ? std::nullopt : std::optional(found.value());
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
