#pragma once

#include <QDBusConnection>
#include <QProcess>

namespace tender::test {

// A message bus of the test's own (dbus-daemon with the session configuration), so services can
// be played by the test without touching the machine's buses. Stopped when destroyed.
class PrivateDBus {
public:
    PrivateDBus()
    {
        daemon_.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
        // Only ends a start that hangs: a loaded machine may take long.
        while (!daemon_.canReadLine() && daemon_.waitForReadyRead(60'000)) {
        }
        address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
        if (address_.isEmpty())
            qWarning("dbus-daemon did not start: every connection to this bus fails");
    }
    ~PrivateDBus()
    {
        for (const QString &name : std::as_const(connections_))
            QDBusConnection::disconnectFromBus(name);
        daemon_.terminate();
        daemon_.waitForFinished(5000);
    }

    // A new connection to the bus under the given name.
    QDBusConnection connect(const QString &name) const
    {
        connections_ << name;
        return QDBusConnection::connectToBus(address_, name);
    }

private:
    QProcess daemon_;
    QString address_;
    mutable QStringList connections_;
};

} // namespace tender::test
