#include "api/MemoryAnyoneLedger.h"
#include <algorithm>

namespace tender::server {

bool MemoryAnyoneLedger::claimHour(const std::string& uid, std::int64_t nowMs, std::int64_t intervalMs)
{
    std::lock_guard lock(mutex_);
    if (lastSent_.size() > 100000)
        std::erase_if(lastSent_, [&](const auto& e) { return nowMs - e.second >= intervalMs; });
    auto [last, first] = lastSent_.try_emplace(uid, nowMs);
    if (!first && nowMs - last->second < intervalMs)
        return false;
    last->second = nowMs;
    return true;
}

void MemoryAnyoneLedger::releaseHour(const std::string& uid, std::int64_t nowMs)
{
    std::lock_guard lock(mutex_);
    if (auto last = lastSent_.find(uid); last != lastSent_.end() && last->second == nowMs)
        lastSent_.erase(last);
}

void MemoryAnyoneLedger::keepWaiting(const std::string& sender, std::int64_t expiresMs)
{
    std::lock_guard lock(mutex_);
    waiting_.push_back({sender, expiresMs});
}

bool MemoryAnyoneLedger::takeWaiting(const std::string& uid, std::int64_t nowMs)
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
