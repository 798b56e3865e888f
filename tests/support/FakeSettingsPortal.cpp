#include "FakeSettingsPortal.h"

#include <QDBusMessage>

namespace tender::test {

namespace {
const QString path = QStringLiteral("/org/freedesktop/portal/desktop");
const QString interface = QStringLiteral("org.freedesktop.portal.Settings");
} // namespace

FakeSettingsPortal::FakeSettingsPortal(QDBusConnection bus, std::optional<bool> enableAnimations)
    : bus_(std::move(bus))
    , enableAnimations_(enableAnimations)
{
    registered_ = bus_.registerObject(path, this, QDBusConnection::ExportAllSlots)
        && bus_.registerService(QStringLiteral("org.freedesktop.portal.Desktop"));
}

QDBusVariant FakeSettingsPortal::Read(const QString &group, const QString &key)
{
    ++reads;
    if (!enableAnimations_ || group != u"org.gnome.desktop.interface" || key != u"enable-animations") {
        sendErrorReply(QStringLiteral("org.freedesktop.portal.Error.NotFound"), QStringLiteral("Requested setting not found"));
        return {};
    }
    // Read wraps the setting's variant in another variant.
    return QDBusVariant(QVariant::fromValue(QDBusVariant(*enableAnimations_)));
}

void FakeSettingsPortal::change(const QString &group, const QString &key, const QVariant &value)
{
    QDBusMessage signal = QDBusMessage::createSignal(path, interface, QStringLiteral("SettingChanged"));
    signal << group << key << QVariant::fromValue(QDBusVariant(value));
    bus_.send(signal);
}

} // namespace tender::test
