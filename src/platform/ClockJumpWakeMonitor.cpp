#include "platform/ClockJumpWakeMonitor.h"

#include <QElapsedTimer>

namespace tender {

namespace {

ClockJumpWakeMonitor::Monotonic systemMonotonic()
{
    auto timer = std::make_shared<QElapsedTimer>();
    timer->start();
    return [timer] { return timer->elapsed(); };
}

} // namespace

ClockJumpWakeMonitor::ClockJumpWakeMonitor(Clock &clock, Milliseconds interval, Milliseconds threshold, Monotonic monotonic)
    : clock_(clock)
    , threshold_(threshold)
    , monotonic_(monotonic ? std::move(monotonic) : systemMonotonic())
    , lastWall_(clock.now())
    , lastMonotonic_(monotonic_())
    , timer_(clock.repeating(interval, [this] { check(); }))
{
}

void ClockJumpWakeMonitor::check()
{
    const QDateTime wall = clock_.now();
    const qint64 monotonic = monotonic_();
    const qint64 unaccounted = lastWall_.msecsTo(wall) - (monotonic - lastMonotonic_);
    lastWall_ = wall;
    lastMonotonic_ = monotonic;
    if (unaccounted > threshold_.count())
        onWake();
}

} // namespace tender
