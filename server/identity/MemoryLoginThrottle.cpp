#include "identity/MemoryLoginThrottle.h"

namespace tender::server {

bool MemoryLoginThrottle::blocked(const std::string& email, std::int64_t nowMs)
{
    std::lock_guard lock(mutex_);
    auto found = records_.find(email);
    return found != records_.end() && found->second.failures >= maxFailures && nowMs - found->second.since < windowMs;
}

void MemoryLoginThrottle::failed(const std::string& email, std::int64_t nowMs)
{
    std::lock_guard lock(mutex_);
    if (records_.size() > 100000)
        forgetOld(nowMs);
    auto& record = records_[email];
    if (nowMs - record.since >= windowMs)
        record = Record{0, nowMs};
    ++record.failures;
}

void MemoryLoginThrottle::succeeded(const std::string& email)
{
    std::lock_guard lock(mutex_);
    records_.erase(email);
}

void MemoryLoginThrottle::forgetOld(std::int64_t nowMs)
{
    std::erase_if(records_, [&](const auto& entry) { return nowMs - entry.second.since >= windowMs; });
}

}
