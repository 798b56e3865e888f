#include "platform/SystemWakeMonitor.h"

#include "platform/ClockJumpWakeMonitor.h"
#include "platform/LogindWakeMonitor.h"

namespace tender {

std::unique_ptr<WakeMonitor> makeSystemWakeMonitor(Clock &clock)
{
    const QDBusConnection bus = QDBusConnection::systemBus();
    if (LogindWakeMonitor::isAvailable(bus))
        return std::make_unique<LogindWakeMonitor>(bus);
    return std::make_unique<ClockJumpWakeMonitor>(clock);
}

} // namespace tender
