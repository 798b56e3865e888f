#pragma once
#include <cstdint>
#include <vector>

namespace tender::bench {

// Microsecond latencies in log-linear buckets: exact below 128 µs, then 64 buckets per doubling
// (under 1.6 % error), so the tail is as trustworthy as the median.
class LatencyHistogram {
public:
    LatencyHistogram();
    void record(std::int64_t micros);
    std::uint64_t count() const { return total_; }
    std::int64_t percentile(double fraction) const; // upper edge of the bucket, µs
    std::int64_t max() const { return max_; }

private:
    std::vector<std::uint64_t> buckets_;
    std::uint64_t total_ = 0;
    std::int64_t max_ = 0;
};

}
