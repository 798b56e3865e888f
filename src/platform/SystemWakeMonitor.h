#pragma once

#include "platform/Clock.h"
#include "platform/WakeMonitor.h"

#include <memory>

namespace tender {

// logind on the system bus where it is there, the clock-jump guess otherwise.
std::unique_ptr<WakeMonitor> makeSystemWakeMonitor(Clock &clock);

} // namespace tender
