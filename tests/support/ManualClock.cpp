#include "ManualClock.h"

namespace tender::test {

// Holds the clock's entries weakly: a timer may outlive its clock.
class ManualClock::Handle final : public Timer {
public:
    Handle(std::weak_ptr<Entries> entries, quint64 id) : entries_(std::move(entries)), id_(id) {}
    ~Handle() override { cancel(); }

    void cancel() override
    {
        if (const auto entries = entries_.lock())
            entries->erase(id_);
    }
    bool isActive() const override
    {
        const auto entries = entries_.lock();
        return entries && entries->contains(id_);
    }

private:
    std::weak_ptr<Entries> entries_;
    quint64 id_;
};

std::unique_ptr<Timer> ManualClock::schedule(Milliseconds delay, Milliseconds interval,
                                             std::function<void()> action)
{
    (*entries_)[nextId_] = Entry{elapsed_ + delay.count(), interval, std::move(action)};
    return std::make_unique<Handle>(entries_, nextId_++);
}

void ManualClock::advance(Milliseconds by)
{
    const qint64 end = elapsed_ + by.count();
    const auto entries = entries_; // actions may destroy timers, never the map
    for (;;) {
        // The first of the earliest: ties fire in order of scheduling.
        const auto next = std::ranges::min_element(*entries, {}, [](const auto &e) { return e.second.due; });
        if (next == entries->end() || next->second.due > end)
            break;
        now_ = now_.addMSecs(next->second.due - elapsed_);
        elapsed_ = next->second.due;
        const std::function<void()> action = next->second.action;
        if (next->second.interval > Milliseconds(0))
            next->second.due += next->second.interval.count();
        else
            entries->erase(next);
        action();
    }
    now_ = now_.addMSecs(end - elapsed_);
    elapsed_ = end;
}

} // namespace tender::test
