#pragma once
#include <cstdint>
#include <mutex>
#include <string>
#include <unordered_map>

namespace tender::server {

// Token buckets by key: a burst of `capacity`, refilled at `perSecond`. Full buckets are
// forgotten, so nothing is kept about a key once it has been quiet for a while.
class RateLimiter {
public:
    RateLimiter(double capacity, double perSecond);
    bool allow(const std::string& key, std::int64_t nowMs);

private:
    struct Bucket {
        double tokens;
        std::int64_t updatedMs;
    };
    double refilled(const Bucket& bucket, std::int64_t nowMs) const;
    void forgetFull(std::int64_t nowMs);

    double capacity_;
    double perSecond_;
    std::mutex mutex_;
    std::unordered_map<std::string, Bucket> buckets_;
    std::size_t sinceSweep_ = 0;
};

}
