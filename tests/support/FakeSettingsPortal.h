#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QObject>

#include <optional>

namespace tender::test {

// The desktop portal's Settings interface, played on a test bus: answers Read
// for org.gnome.desktop.interface enable-animations and emits SettingChanged.
class FakeSettingsPortal : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Settings")
public:
    // Absent: the portal does not know the setting and answers an error.
    FakeSettingsPortal(QDBusConnection bus, std::optional<bool> enableAnimations)
        : bus_(std::move(bus)), enableAnimations_(enableAnimations)
    {
        bus_.registerObject(path, this, QDBusConnection::ExportAllSlots);
        bus_.registerService("org.freedesktop.portal.Desktop");
    }

    void change(const QString &group, const QString &key, const QVariant &value)
    {
        auto signal = QDBusMessage::createSignal(path, "org.freedesktop.portal.Settings", "SettingChanged");
        signal << group << key << QVariant::fromValue(QDBusVariant(value));
        bus_.send(signal);
    }

    int reads = 0;

public slots:
    QDBusVariant Read(const QString &group, const QString &key)
    {
        ++reads;
        if (!enableAnimations_ || group != u"org.gnome.desktop.interface" || key != u"enable-animations") {
            sendErrorReply("org.freedesktop.portal.Error.NotFound", "Requested setting not found");
            return {};
        }
        // Read wraps the setting's variant in another variant.
        return QDBusVariant(QVariant::fromValue(QDBusVariant(*enableAnimations_)));
    }

private:
    static constexpr const char *path = "/org/freedesktop/portal/desktop";
    QDBusConnection bus_;
    std::optional<bool> enableAnimations_;
};

} // namespace tender::test
