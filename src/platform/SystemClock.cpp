#include "platform/SystemClock.h"

#include <QTimer>

namespace tender {

namespace {

class QtTimer final : public Timer {
public:
    QtTimer(Milliseconds interval, bool repeat, std::function<void()> action)
        : timer_(new QTimer)
        , action_(std::move(action))
    {
        timer_->setTimerType(Qt::PreciseTimer);
        timer_->setSingleShot(!repeat);
        timer_->setInterval(interval);
        QObject::connect(timer_, &QTimer::timeout, timer_, [this, repeat] {
            // The action may destroy this handle; keep the callable alive meanwhile.
            auto action = repeat ? action_ : std::move(action_);
            action();
        });
        timer_->start();
    }

    ~QtTimer() override
    {
        timer_->stop();
        timer_->disconnect();
        // The handle may be destroyed from inside the timer's own timeout.
        timer_->deleteLater();
    }

    void cancel() override { timer_->stop(); }
    bool isActive() const override { return timer_->isActive(); }

private:
    QTimer *timer_;
    std::function<void()> action_;
};

} // namespace

QDateTime SystemClock::now() const
{
    return QDateTime::currentDateTimeUtc();
}

std::unique_ptr<Timer> SystemClock::singleShot(Milliseconds delay, std::function<void()> action)
{
    return std::make_unique<QtTimer>(delay, false, std::move(action));
}

std::unique_ptr<Timer> SystemClock::repeating(Milliseconds interval, std::function<void()> action)
{
    return std::make_unique<QtTimer>(interval, true, std::move(action));
}

} // namespace tender
