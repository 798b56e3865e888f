#include "limits/MemoryCounters.h"

namespace tender::server {
namespace {

const std::string sharedKey = std::string(1, '\0') + "overflow";

}

MemoryCounters::MemoryCounters(std::size_t maxKeys)
    : maxKeys_(maxKeys)
{
}

std::unordered_map<std::string, Counters::Window>::iterator MemoryCounters::windowFor(const std::string& key,
    std::int64_t nowMs)
{
    if (auto found = windows_.find(key); found != windows_.end() || windows_.size() < maxKeys_)
        return found;
    std::erase_if(windows_, [&](const auto& entry) { return entry.second.endsAtMs <= nowMs; });
    return windows_.size() < maxKeys_ ? windows_.end() : windows_.try_emplace(sharedKey).first;
}

Counters::Window MemoryCounters::add(const std::string& key, std::int64_t amount, std::int64_t windowMs,
    std::int64_t nowMs)
{
    std::lock_guard lock(mutex_);
    auto found = windowFor(key, nowMs);
    bool live = found != windows_.end() && found->second.endsAtMs > nowMs;
    if (amount == 0)
        return live ? found->second : Window{0, nowMs};
    if (found == windows_.end())
        found = windows_.try_emplace(key).first;
    if (!live)
        found->second = Window{0, nowMs + windowMs};
    found->second.count += amount;
    return found->second;
}

void MemoryCounters::clear(const std::string& key)
{
    std::lock_guard lock(mutex_);
    windows_.erase(key);
}

}
