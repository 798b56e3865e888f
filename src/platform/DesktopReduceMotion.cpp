#include "platform/DesktopReduceMotion.h"

#include "platform/MotionSettings.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QFile>
#include <QStandardPaths>

namespace tender {

namespace {

const QString portalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString settingsInterface = QStringLiteral("org.freedesktop.portal.Settings");
const QString interfaceGroup = QStringLiteral("org.gnome.desktop.interface");
const QString animationsKey = QStringLiteral("enable-animations");

} // namespace

DesktopReduceMotion::DesktopReduceMotion(QDBusConnection bus)
    : bus_(std::move(bus))
{
    if (!bus_.isConnected())
        return;
    bus_.connect(portalService, portalPath, settingsInterface, QStringLiteral("SettingChanged"), this,
                 SLOT(settingChanged(QString, QString, QDBusVariant)));
    readPortal();
}

bool DesktopReduceMotion::enabled() const
{
    return portal_.value_or(false) || kdeAnimationsOff();
}

void DesktopReduceMotion::readPortal()
{
    QDBusMessage call = QDBusMessage::createMethodCall(portalService, portalPath, settingsInterface,
                                                       QStringLiteral("Read"));
    call << interfaceGroup << animationsKey;
    auto *watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *finished) {
        finished->deleteLater();
        const QDBusPendingReply<QDBusVariant> reply = *finished;
        // A value that arrived through SettingChanged meanwhile is newer.
        if (!reply.isError() && !portal_)
            setPortalValue(MotionSettings::reduceFromPortalValue(QVariant::fromValue(reply.value())));
    });
}

void DesktopReduceMotion::settingChanged(const QString &group, const QString &key, const QDBusVariant &value)
{
    if (group == interfaceGroup && key == animationsKey)
        setPortalValue(MotionSettings::reduceFromPortalValue(QVariant::fromValue(value)));
}

void DesktopReduceMotion::setPortalValue(std::optional<bool> reduce)
{
    const bool before = enabled();
    portal_ = reduce;
    if (enabled() != before)
        onChange(enabled());
}

bool DesktopReduceMotion::kdeAnimationsOff()
{
    // The user's file comes first and overrides the system's defaults.
    for (const QString &path : QStandardPaths::locateAll(QStandardPaths::GenericConfigLocation,
                                                         QStringLiteral("kdeglobals"))) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        if (const auto factor = MotionSettings::kdeAnimationDurationFactor(QString::fromUtf8(file.readAll())))
            return *factor == 0;
    }
    return false;
}

} // namespace tender
