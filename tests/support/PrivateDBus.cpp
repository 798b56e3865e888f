#include "PrivateDBus.h"

namespace tender::test {

PrivateDBus::PrivateDBus()
{
    daemon_.start(QStringLiteral("dbus-daemon"),
                  {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
    if (!daemon_.waitForStarted(5000))
        return;
    while (!daemon_.canReadLine() && daemon_.waitForReadyRead(5000)) {
    }
    address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
}

PrivateDBus::~PrivateDBus()
{
    for (const QString &name : std::as_const(connections_))
        QDBusConnection::disconnectFromBus(name);
    daemon_.terminate();
    daemon_.waitForFinished(5000);
}

QDBusConnection PrivateDBus::connect(const QString &name) const
{
    connections_ << name;
    return QDBusConnection::connectToBus(address_, name);
}

} // namespace tender::test
