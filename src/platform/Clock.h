#pragma once

#include "platform/Timer.h"

#include <QCoroTask>
#include <QDateTime>

#include <chrono>
#include <functional>
#include <memory>

namespace tender {

using Milliseconds = std::chrono::milliseconds;

// Every "now", delay and timer of the app goes through this seam, so tests can
// drive time by hand.
class Clock {
public:
    virtual ~Clock() = default;

    virtual QDateTime now() const = 0;
    [[nodiscard]] virtual std::unique_ptr<Timer> singleShot(Milliseconds delay, std::function<void()> action) = 0;
    [[nodiscard]] virtual std::unique_ptr<Timer> repeating(Milliseconds interval, std::function<void()> action) = 0;

    // Resumes the awaiting coroutine after `delay`. There is no cancellation:
    // a sleeper re-checks its condition when it wakes.
    QCoro::Task<> sleep(Milliseconds delay);
};

} // namespace tender
