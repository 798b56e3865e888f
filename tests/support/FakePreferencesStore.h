#pragma once

#include "platform/PreferencesStore.h"

namespace tender::test {

// Preferences in memory. `failWrites` makes every change report that it was
// not persisted (the value is still kept), like a full disk.
class FakePreferencesStore final : public PreferencesStore {
public:
    std::optional<PreferenceValue> value(const QString &key) const override;
    bool set(const QString &key, const PreferenceValue &value) override;
    bool remove(const QString &key) override;

    bool failWrites = false;
    int writeCount = 0;

private:
    QMap<QString, PreferenceValue> values_;
};

} // namespace tender::test
