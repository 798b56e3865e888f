#include "platform/LogindWakeMonitor.h"

#include <QDBusConnectionInterface>
#include <QDBusReply>

namespace tender {

namespace {
const QString logindService = QStringLiteral("org.freedesktop.login1");
} // namespace

LogindWakeMonitor::LogindWakeMonitor(QDBusConnection bus)
{
    bus.connect(logindService, QStringLiteral("/org/freedesktop/login1"), QStringLiteral("org.freedesktop.login1.Manager"),
                QStringLiteral("PrepareForSleep"), this, SLOT(prepareForSleep(bool)));
}

bool LogindWakeMonitor::isAvailable(const QDBusConnection &bus)
{
    if (!bus.isConnected() || !bus.interface())
        return false;
    if (bus.interface()->isServiceRegistered(logindService))
        return true;
    const QDBusReply<QStringList> activatable = bus.interface()->call(QStringLiteral("ListActivatableNames"));
    return activatable.isValid() && activatable.value().contains(logindService);
}

void LogindWakeMonitor::prepareForSleep(bool sleeping)
{
    if (!sleeping)
        onWake();
}

} // namespace tender
