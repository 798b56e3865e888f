#include "platform/JsonPreferencesStore.h"

#include "platform/PreferenceJson.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSaveFile>
#include <QStandardPaths>

namespace tender {

namespace {

const QString formatName = QStringLiteral("tender-preferences");
constexpr int formatVersion = 1;

std::optional<QJsonObject> readEntries(const QByteArray &bytes)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject root = document.object();
    if (root.value(u"format").toString() != formatName || !root.value(u"values").isObject())
        return std::nullopt;
    return root.value(u"values").toObject();
}

bool ensurePrivateDirectory(const QString &path)
{
    if (QFileInfo(path).isDir())
        return true;
    if (!QDir().mkpath(path))
        return false;
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return true;
}

} // namespace

JsonPreferencesStore::JsonPreferencesStore(QString filePath)
    : filePath_(std::move(filePath))
{
    load();
}

QString JsonPreferencesStore::defaultFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/Tender/preferences.json");
}

std::optional<PreferenceValue> JsonPreferencesStore::value(const QString &key) const
{
    const auto found = entries_.constFind(key);
    if (found == entries_.constEnd())
        return std::nullopt;
    return PreferenceJson::decode(found.value());
}

bool JsonPreferencesStore::set(const QString &key, const PreferenceValue &value)
{
    entries_.insert(key, PreferenceJson::encode(value));
    return save();
}

bool JsonPreferencesStore::remove(const QString &key)
{
    entries_.remove(key);
    return save();
}

void JsonPreferencesStore::load()
{
    QFile file(filePath_);
    if (!file.exists())
        return;
    if (!file.open(QIODevice::ReadOnly))
        return;
    if (const auto entries = readEntries(file.readAll())) {
        entries_ = *entries;
        return;
    }
    file.close();
    const QString aside = filePath_ + QStringLiteral(".corrupt");
    QFile::remove(aside);
    QFile::rename(filePath_, aside);
}

bool JsonPreferencesStore::save() const
{
    if (!ensurePrivateDirectory(QFileInfo(filePath_).absolutePath()))
        return false;
    QSaveFile file(filePath_);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    const QJsonObject root{
        {QStringLiteral("format"), formatName},
        {QStringLiteral("version"), formatVersion},
        {QStringLiteral("values"), entries_},
    };
    file.write(QJsonDocument(root).toJson(QJsonDocument::Indented));
    return file.commit();
}

} // namespace tender
