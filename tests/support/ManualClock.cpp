#include "ManualClock.h"

namespace tender::test {

class ManualTimer final : public Timer {
public:
    ManualTimer(std::weak_ptr<std::map<quint64, ManualClock::Entry>> entries, quint64 id)
        : entries_(std::move(entries)), id_(id) {}
    ~ManualTimer() override { cancel(); }

    void cancel() override
    {
        if (auto entries = entries_.lock())
            entries->erase(id_);
    }
    bool isActive() const override
    {
        auto entries = entries_.lock();
        return entries && entries->contains(id_);
    }

private:
    std::weak_ptr<std::map<quint64, ManualClock::Entry>> entries_;
    quint64 id_;
};

ManualClock::ManualClock(QDateTime start)
    : now_(std::move(start)), entries_(std::make_shared<std::map<quint64, Entry>>())
{
}

ManualClock::~ManualClock() = default;

std::unique_ptr<Timer> ManualClock::singleShot(Milliseconds delay, std::function<void()> action)
{
    return schedule(delay, false, std::move(action));
}

std::unique_ptr<Timer> ManualClock::repeating(Milliseconds interval, std::function<void()> action)
{
    return schedule(interval, true, std::move(action));
}

std::unique_ptr<Timer> ManualClock::schedule(Milliseconds delay, bool repeat, std::function<void()> action)
{
    const quint64 id = nextId_++;
    const auto interval = std::max(delay, Milliseconds(repeat ? 1 : 0));
    (*entries_)[id] = Entry{elapsed_ + delay.count(), interval, repeat, std::move(action)};
    return std::make_unique<ManualTimer>(entries_, id);
}

void ManualClock::advance(Milliseconds by)
{
    const qint64 end = elapsed_ + by.count();
    auto entries = entries_; // actions may destroy timers, never the map
    for (;;) {
        auto next = entries->end();
        for (auto it = entries->begin(); it != entries->end(); ++it)
            if (it->second.due <= end && (next == entries->end() || it->second.due < next->second.due))
                next = it;
        if (next == entries->end())
            break;
        now_ = now_.addMSecs(next->second.due - elapsed_);
        elapsed_ = next->second.due;
        std::function<void()> action;
        if (next->second.repeat) {
            next->second.due += next->second.interval.count();
            action = next->second.action;
        } else {
            action = std::move(next->second.action);
            entries->erase(next);
        }
        action();
    }
    now_ = now_.addMSecs(end - elapsed_);
    elapsed_ = end;
}

int ManualClock::pendingCount() const
{
    return int(entries_->size());
}

} // namespace tender::test
