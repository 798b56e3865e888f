#pragma once

#include "platform/Clock.h"

#include <algorithm>
#include <map>

namespace tender::test {

// A clock that moves only when told. advance() fires every action that falls
// due, in order of due time (ties in order of scheduling), with now() set to
// each action's due time while it runs.
class ManualClock final : public Clock {
public:
    explicit ManualClock(QDateTime start = QDateTime(QDate(2026, 3, 2), QTime(12, 0), Qt::UTC))
        : now_(std::move(start)) {}

    QDateTime now() const override { return now_; }
    std::unique_ptr<Timer> singleShot(Milliseconds delay, std::function<void()> action) override
    {
        return schedule(delay, Milliseconds(0), std::move(action));
    }
    std::unique_ptr<Timer> repeating(Milliseconds interval, std::function<void()> action) override
    {
        return schedule(interval, std::max(interval, Milliseconds(1)), std::move(action));
    }

    void advance(Milliseconds by);
    // Moves wall time without firing anything (the user or NTP changed the clock).
    void setNow(QDateTime now) { now_ = std::move(now); }
    int pendingCount() const { return int(entries_->size()); }

private:
    struct Entry {
        qint64 due;
        Milliseconds interval; // zero for a single shot
        std::function<void()> action;
    };
    using Entries = std::map<quint64, Entry>;
    class Handle;
    std::unique_ptr<Timer> schedule(Milliseconds delay, Milliseconds interval, std::function<void()> action);

    QDateTime now_;
    qint64 elapsed_ = 0;
    quint64 nextId_ = 0;
    std::shared_ptr<Entries> entries_ = std::make_shared<Entries>();
};

} // namespace tender::test
