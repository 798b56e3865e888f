#include "FakePreferencesStore.h"

namespace tender::test {

std::optional<PreferenceValue> FakePreferencesStore::value(const QString &key) const
{
    const auto found = values_.constFind(key);
    if (found == values_.constEnd())
        return std::nullopt;
    return found.value();
}

bool FakePreferencesStore::set(const QString &key, const PreferenceValue &value)
{
    values_.insert(key, value);
    ++writeCount;
    return !failWrites;
}

bool FakePreferencesStore::remove(const QString &key)
{
    values_.remove(key);
    ++writeCount;
    return !failWrites;
}

} // namespace tender::test
