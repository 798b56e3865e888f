#pragma once

#include "platform/WakeMonitor.h"

#include <QDBusConnection>
#include <QObject>

namespace tender {

// logind's PrepareForSleep(false), sent when the machine has resumed.
class LogindWakeMonitor final : public QObject, public WakeMonitor {
    Q_OBJECT
public:
    explicit LogindWakeMonitor(QDBusConnection bus = QDBusConnection::systemBus());

    // Whether logind is on `bus`, running or startable.
    static bool isAvailable(const QDBusConnection &bus);

private slots:
    void prepareForSleep(bool sleeping);
};

} // namespace tender
