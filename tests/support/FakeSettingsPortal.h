#pragma once

#include <QDBusConnection>
#include <QDBusContext>
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
    FakeSettingsPortal(QDBusConnection bus, std::optional<bool> enableAnimations);
    bool isRegistered() const { return registered_; }

    void change(const QString &group, const QString &key, const QVariant &value);

    int reads = 0;

public slots:
    QDBusVariant Read(const QString &group, const QString &key);

private:
    QDBusConnection bus_;
    std::optional<bool> enableAnimations_;
    bool registered_ = false;
};

} // namespace tender::test
