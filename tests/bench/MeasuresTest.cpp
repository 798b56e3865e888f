#include "load/Deliveries.h"
#include "load/LatencyHistogram.h"
#include <gtest/gtest.h>

using namespace tender::bench;
using namespace std::chrono_literals;

TEST(LatencyHistogram, KeepsEveryValueWithinTheBucketError)
{
    LatencyHistogram h;
    for (std::int64_t v = 1; v <= 100000; ++v)
        h.record(v);
    EXPECT_EQ(h.count(), 100000u);
    for (double q : {0.5, 0.99, 0.999}) {
        double exact = q * 100000;
        EXPECT_NEAR(static_cast<double>(h.percentile(q)), exact, exact * 0.016) << q;
    }
    EXPECT_EQ(h.percentile(1.0), 100000);
    EXPECT_EQ(h.max(), 100000);

    LatencyHistogram small;
    // -5, as after a clock step, must not index outside the buckets.
    for (std::int64_t v : {std::int64_t{-5}, std::int64_t{7}, std::int64_t{1} << 50})
        small.record(v);
    EXPECT_EQ(small.percentile(0.33), 0) << "small values are exact";
    EXPECT_EQ(small.percentile(0.5), 7);
    EXPECT_EQ(small.percentile(1.0), std::int64_t{1} << 50) << "huge ones are kept";
}

TEST(Deliveries, MatchFramesInOrderAndCountOnlyRealLosses)
{
    Deliveries d(2);
    auto t0 = Clock::now();
    d.sent(0, t0);
    d.sent(0, t0 + 1ms);
    d.sent(1, t0);
    d.arrived(0, t0 + 3ms); // the first signal due: 3 ms
    d.arrived(0, t0 + 3ms); // the second: 2 ms
    EXPECT_EQ(d.deliveredCount(), 2u);
    EXPECT_EQ(d.outstanding(), 1u); // recipient 1 still owed one
    EXPECT_NEAR(static_cast<double>(d.latency().max()), 3000, 50);
    d.arrived(0, t0 + 4ms);
    EXPECT_EQ(d.unmatchedCount(), 1u);

    // Refusals and broken streams are not counted as losses.
    d.sent(1, t0 + 1ms);
    d.notAccepted(1, t0 + 1ms, false);
    EXPECT_EQ(d.refusedCount(), 1u);
    EXPECT_EQ(d.outstanding(), 1u);
    d.streamLost(1);
    EXPECT_EQ(d.outstanding(), 0u);
    EXPECT_EQ(d.lostOfflineCount(), 1u);
}
