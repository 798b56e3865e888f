#pragma once

#include <QDBusConnection>
#include <QProcess>

namespace tender::test {

// A message bus of the test's own (dbus-daemon with the session
// configuration), so services can be played by the test without touching the
// machine's buses. Stopped when destroyed.
class PrivateDBus {
public:
    PrivateDBus();
    ~PrivateDBus();

    bool isRunning() const { return !address_.isEmpty(); }
    QString address() const { return address_; }
    // A new connection to the bus under the given name.
    QDBusConnection connect(const QString &name) const;

private:
    QProcess daemon_;
    QString address_;
    mutable QStringList connections_;
};

} // namespace tender::test
