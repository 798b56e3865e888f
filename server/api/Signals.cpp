#include "api/Signals.h"
#include <algorithm>

namespace tender::server {

Signals::Signals(Store& store, Hub& hub, Metrics& metrics)
    : store_(store)
    , hub_(hub)
    , perPerson_(burstToOnePerson, refillPerSecond)
    , accepted_(metrics.counter("tender_signals_accepted_total", "Signals accepted for delivery"))
{
}

Signals::Sent Signals::toContact(const std::string& senderUid, const std::string& contactId, std::int64_t nowMs)
{
    auto target = store_.contactTarget(senderUid, contactId);
    if (!target)
        return Sent::notFound;
    if (!perPerson_.allow(senderUid + "\n" + *target, nowMs))
        return Sent::tooMany;
    hub_.signalUser(*target);
    accepted_.add();
    return Sent::accepted;
}

Signals::Sent Signals::toAnyone(const std::string& senderUid, std::int64_t nowMs)
{
    {
        std::lock_guard lock(mutex_);
        if (lastAnyone_.size() > 100000)
            std::erase_if(lastAnyone_, [&](const auto& e) { return nowMs - e.second >= anyoneIntervalMs; });
        auto [last, first] = lastAnyone_.try_emplace(senderUid, nowMs);
        if (!first && nowMs - last->second < anyoneIntervalMs)
            return Sent::tooMany;
        last->second = nowMs;
    }
    if (!hub_.signalStranger(senderUid)) {
        std::lock_guard lock(mutex_);
        waiting_.push_back({senderUid, nowMs + anyoneIntervalMs});
    }
    accepted_.add();
    return Sent::accepted;
}

bool Signals::takeWaitingFor(const std::string& uid, std::int64_t nowMs)
{
    std::lock_guard lock(mutex_);
    std::erase_if(waiting_, [&](const Waiting& w) { return w.expiresMs <= nowMs; });
    auto found = std::find_if(waiting_.begin(), waiting_.end(), [&](const Waiting& w) { return w.sender != uid; });
    if (found == waiting_.end())
        return false;
    waiting_.erase(found);
    return true;
}

}
