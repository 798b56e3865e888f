#pragma once

#include "platform/PreferencesStore.h"

#include <QJsonObject>

namespace tender {

// Preferences in one JSON file with a type tag on every value, rewritten whole
// and atomically after each change. A file that cannot be read as preferences
// is moved aside (".corrupt") and the store starts empty, so nothing is
// overwritten that a person might still want back.
class JsonPreferencesStore final : public PreferencesStore {
public:
    explicit JsonPreferencesStore(QString filePath);

    // $XDG_CONFIG_HOME/Tender/preferences.json
    static QString defaultFilePath();

    std::optional<PreferenceValue> value(const QString &key) const override;
    bool set(const QString &key, const PreferenceValue &value) override;
    bool remove(const QString &key) override;

    QString filePath() const { return filePath_; }

private:
    void load();
    bool save() const;

    QString filePath_;
    // Entries stay in their stored form, so ones this build cannot read survive a rewrite.
    QJsonObject entries_;
};

} // namespace tender
