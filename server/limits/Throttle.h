#pragma once
#include "limits/Counters.h"
#include "ops/Metrics.h"
#include <optional>
#include <string>

namespace tender::server {

// The count of requests refused by a limit of the given kind.
Counter& refusalsOf(Metrics& metrics, const std::string& kind);

// One limit: at most `limit` counted events per key in a window of `windowMs`. Every refusal is
// counted in the metrics under the throttle's kind.
class Throttle {
public:
    struct Refusal {
        std::int64_t retryAfterSeconds;
    };

    Throttle(Counters& counters, std::string kind, std::int64_t limit, std::int64_t windowMs, Metrics& metrics);

    // Counts an attempt and refuses it when it goes over the limit.
    std::optional<Refusal> take(const std::string& key, std::int64_t nowMs);
    // Refuses when the key is over the limit already, without counting anything.
    std::optional<Refusal> check(const std::string& key, std::int64_t nowMs);
    // Counts an event that was not refused itself (a failure) towards the limit.
    void count(const std::string& key, std::int64_t nowMs);
    void clear(const std::string& key);

private:
    std::optional<Refusal> judge(const Counters::Window& window, std::int64_t limit, std::int64_t nowMs);

    Counters& counters_;
    std::string prefix_;
    std::int64_t limit_;
    std::int64_t windowMs_;
    Counter& refused_;
};

}
