#pragma once

#include "platform/Clock.h"

#include <map>

namespace tender::test {

// A clock that moves only when told. advance() fires every action that falls
// due, in order of due time (ties in order of scheduling), with now() set to
// each action's due time while it runs.
class ManualClock final : public Clock {
public:
    explicit ManualClock(QDateTime start = QDateTime(QDate(2026, 3, 2), QTime(12, 0), Qt::UTC));
    ~ManualClock() override;

    QDateTime now() const override { return now_; }
    std::unique_ptr<Timer> singleShot(Milliseconds delay, std::function<void()> action) override;
    std::unique_ptr<Timer> repeating(Milliseconds interval, std::function<void()> action) override;

    void advance(Milliseconds by);
    // Moves wall time without firing anything (the user or NTP changed the clock).
    void setNow(QDateTime now) { now_ = std::move(now); }
    int pendingCount() const;

    struct Entry {
        qint64 due;
        Milliseconds interval;
        bool repeat;
        std::function<void()> action;
    };

private:
    friend class ManualTimer;
    std::unique_ptr<Timer> schedule(Milliseconds delay, bool repeat, std::function<void()> action);

    QDateTime now_;
    qint64 elapsed_ = 0;
    quint64 nextId_ = 0;
    std::shared_ptr<std::map<quint64, Entry>> entries_;
};

} // namespace tender::test
