#include "api/RateLimiter.h"
#include <algorithm>

namespace tender::server {

RateLimiter::RateLimiter(double capacity, double perSecond)
    : capacity_(capacity)
    , perSecond_(perSecond)
{
}

double RateLimiter::refilled(const Bucket& bucket, std::int64_t nowMs) const
{
    double elapsed = static_cast<double>(std::max<std::int64_t>(0, nowMs - bucket.updatedMs)) / 1000.0;
    return std::min(capacity_, bucket.tokens + elapsed * perSecond_);
}

bool RateLimiter::allow(const std::string& key, std::int64_t nowMs)
{
    std::lock_guard lock(mutex_);
    if (++sinceSweep_ >= 4096) {
        forgetFull(nowMs);
        sinceSweep_ = 0;
    }
    auto [found, inserted] = buckets_.try_emplace(key, Bucket{capacity_, nowMs});
    auto& bucket = found->second;
    bucket.tokens = refilled(bucket, nowMs);
    bucket.updatedMs = nowMs;
    if (bucket.tokens < 1.0)
        return false;
    bucket.tokens -= 1.0;
    return true;
}

void RateLimiter::forgetFull(std::int64_t nowMs)
{
    std::erase_if(buckets_, [&](const auto& entry) { return refilled(entry.second, nowMs) >= capacity_; });
}

}
