#include "records/DecodingError.h"
#include "records/JsonFields.h"
#include "service/SessionFile.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>

namespace tender::SessionFile {

namespace {

// A session file is a few hundred bytes; anything far larger is not ours.
constexpr qint64 maxBytes = 64 * 1024;

} // namespace

QString defaultPath()
{
    const QString directory = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Tender");
    if (QDir().mkpath(directory))
        QFile::setPermissions(directory, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return directory + QStringLiteral("/session.json");
}

std::optional<Session> read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > maxBytes)
        return std::nullopt;
    try {
        return Session::fromJson(json::parseObject(file.readAll()));
    } catch (const DecodingError &) {
        return std::nullopt;
    }
}

bool write(const QString &path, const Session &session)
{
    QSaveFile file(path);
    // Unbuffered, so a short write (a full disk) shows in write()'s count:
    // a buffered QSaveFile can commit a truncated file as a success.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    // Narrow the permissions before a single byte of the token is written.
    if (!file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
        file.cancelWriting();
        return false;
    }
    const QByteArray bytes = QJsonDocument(session.toJson()).toJson(QJsonDocument::Compact);
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace tender::SessionFile
