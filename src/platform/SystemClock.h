#pragma once

#include "platform/Clock.h"

namespace tender {

// The real clock: system wall time and QTimer on the calling thread's loop.
class SystemClock final : public Clock {
public:
    QDateTime now() const override;
    std::unique_ptr<Timer> singleShot(Milliseconds delay, std::function<void()> action) override;
    std::unique_ptr<Timer> repeating(Milliseconds interval, std::function<void()> action) override;
};

} // namespace tender
