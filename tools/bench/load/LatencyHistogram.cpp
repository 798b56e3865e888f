#include "load/LatencyHistogram.h"
#include <algorithm>
#include <bit>
#include <cmath>

namespace tender::bench {
namespace {

constexpr std::size_t bucketCount = 128 + 40 * 64;

std::size_t indexOf(std::uint64_t v)
{
    if (v < 128)
        return v;
    auto shift = static_cast<unsigned>(std::bit_width(v)) - 7;
    return std::min<std::size_t>(bucketCount - 1, 128 + (shift - 1) * 64 + ((v >> shift) - 64));
}

std::int64_t upperEdge(std::size_t index)
{
    if (index < 128)
        return static_cast<std::int64_t>(index);
    auto shift = (index - 128) / 64 + 1;
    auto sub = (index - 128) % 64 + 64;
    return static_cast<std::int64_t>(((sub + 1) << shift) - 1);
}

}

LatencyHistogram::LatencyHistogram()
    : buckets_(bucketCount, 0)
{
}

void LatencyHistogram::record(std::int64_t micros)
{
    auto v = static_cast<std::uint64_t>(std::max<std::int64_t>(0, micros));
    ++buckets_[indexOf(v)];
    ++total_;
    max_ = std::max(max_, micros);
}

std::int64_t LatencyHistogram::percentile(double fraction) const
{
    if (total_ == 0)
        return 0;
    auto wanted = static_cast<std::uint64_t>(std::ceil(fraction * static_cast<double>(total_)));
    std::uint64_t seen = 0;
    for (std::size_t i = 0; i < buckets_.size(); ++i) {
        seen += buckets_[i];
        if (seen >= std::max<std::uint64_t>(wanted, 1))
            return i + 1 == buckets_.size() ? max_ : std::min(upperEdge(i), max_); // the last bucket has no edge
    }
    return max_;
}

}
