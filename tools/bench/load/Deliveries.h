#pragma once
#include "load/LatencyHistogram.h"
#include <chrono>
#include <cstdint>
#include <deque>
#include <vector>

namespace tender::bench {

using Clock = std::chrono::steady_clock;

// Matches signal frames to the POSTs that caused them. A frame carries nothing about its
// sender, so each recipient's frames are matched to its signals in the order they were due.
// Latency runs from the moment a signal was due, not when it went out: a stalled server
// cannot hide its stall by delaying our sends (coordinated omission).
class Deliveries {
public:
    explicit Deliveries(unsigned recipients);

    void sent(unsigned recipient, Clock::time_point due);
    void accepted() { ++accepted_; }
    void notAccepted(unsigned recipient, Clock::time_point due, bool transportFailed);
    void arrived(unsigned recipient, Clock::time_point now);
    // The recipient's stream broke: what it was owed was sent while it was (going) offline.
    void streamLost(unsigned recipient);
    // A signal picked for an online recipient whose stream broke before it went out.
    void brokeBeforeSending() { ++lostOffline_; }
    // A reader that is slow on purpose: its frames are counted apart and left out of the latency.
    void setApart(unsigned recipient);
    std::uint64_t deliveredApart() const { return deliveredApart_; }

    const LatencyHistogram& latency() const { return latency_; }
    std::uint64_t sentCount() const { return sent_; }
    std::uint64_t acceptedCount() const { return accepted_; }
    std::uint64_t refusedCount() const { return refused_; }
    std::uint64_t failedCount() const { return failed_; }
    std::uint64_t deliveredCount() const { return delivered_; }
    std::uint64_t unmatchedCount() const { return unmatched_; }
    std::uint64_t lostOfflineCount() const { return lostOffline_; }
    std::uint64_t outstanding() const; // accepted but not (yet) arrived

private:
    std::vector<std::deque<Clock::time_point>> pending_;
    std::vector<bool> apart_;
    LatencyHistogram latency_;
    std::uint64_t sent_ = 0, accepted_ = 0, refused_ = 0, failed_ = 0, delivered_ = 0, unmatched_ = 0, lostOffline_ = 0, deliveredApart_ = 0;
};

}
