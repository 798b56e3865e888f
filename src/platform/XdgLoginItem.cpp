#include "platform/XdgLoginItem.h"

#include "platform/DesktopEntry.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>

namespace tender {

XdgLoginItem::XdgLoginItem(QString autostartDirectory, QString appId, QString program)
    : directory_(std::move(autostartDirectory))
    , appId_(std::move(appId))
    , program_(std::move(program))
{
}

XdgLoginItem XdgLoginItem::forThisProgram(const QString &appId)
{
    const QString appImage = qEnvironmentVariable("APPIMAGE");
    return XdgLoginItem(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
                            + QStringLiteral("/autostart"),
                        appId,
                        appImage.isEmpty() ? QCoreApplication::applicationFilePath() : appImage);
}

QString XdgLoginItem::entryPath() const
{
    return directory_ + u'/' + appId_ + QStringLiteral(".desktop");
}

bool XdgLoginItem::isEnabled() const
{
    QFile file(entryPath());
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return !DesktopEntry::isHidden(QString::fromUtf8(file.readAll()));
}

bool XdgLoginItem::setEnabled(bool enabled)
{
    const bool done = enabled ? writeEntry() : !QFile::exists(entryPath()) || QFile::remove(entryPath());
    return done && isEnabled() == enabled;
}

bool XdgLoginItem::writeEntry() const
{
    if (!QDir().mkpath(directory_))
        return false;
    QSaveFile file(entryPath());
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QString entry = QStringLiteral(
        "[Desktop Entry]\n"
        "Type=Application\n"
        "Name=Tender\n"
        "Exec=%1\n"
        "X-GNOME-Autostart-enabled=true\n").arg(DesktopEntry::execArgument(program_));
    file.write(entry.toUtf8());
    return file.commit();
}

} // namespace tender
