#pragma once

#include <functional>

namespace tender {

// Tells when the machine has woken from sleep.
class WakeMonitor {
public:
    virtual ~WakeMonitor() = default;

    // Called on the main thread after each wake.
    std::function<void()> onWake = [] {};
};

} // namespace tender
