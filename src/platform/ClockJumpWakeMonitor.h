#pragma once

#include "platform/Clock.h"
#include "platform/WakeMonitor.h"

namespace tender {

// Where logind cannot be asked: the monotonic clock stands still while the
// machine sleeps and the wall clock does not, so a tick that finds the wall
// clock far ahead of the monotonic one follows a sleep. (A wall clock set
// forward by hand looks the same; a needless reconnect is harmless.)
class ClockJumpWakeMonitor final : public WakeMonitor {
public:
    using Monotonic = std::function<qint64()>; // milliseconds
    // A wake noticed up to half a minute late costs little (the stream's ping
    // finds a dead connection in about as long); each check wakes the process.
    static constexpr Milliseconds defaultInterval{30'000};
    static constexpr Milliseconds defaultThreshold{30'000};

    explicit ClockJumpWakeMonitor(Clock &clock, Milliseconds interval = defaultInterval,
                                  Milliseconds threshold = defaultThreshold, Monotonic monotonic = {});

private:
    void check();

    Clock &clock_;
    Milliseconds threshold_;
    Monotonic monotonic_;
    QDateTime lastWall_;
    qint64 lastMonotonic_;
    std::unique_ptr<Timer> timer_;
};

} // namespace tender
