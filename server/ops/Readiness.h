#pragma once
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace tender::server {

// What /readyz reports: named checks (the database; the bus where there is one), each true while that
// part answers. The checks may be slow, so they run in the background and /readyz reads the results;
// before the first run, and while a run takes too long, nothing counts as ready.
class Readiness {
public:
    // A run of the checks still going after this long is stuck, and so is what they check.
    static constexpr std::int64_t stuckAfterMs = 15'000;

    using Check = std::function<bool()>;
    struct Result {
        std::string name;
        bool ok;
    };

    void add(std::string name, Check check);
    // Runs every check (a check that throws fails) and keeps the results.
    void refresh(std::int64_t nowMs);
    std::vector<Result> results(std::int64_t nowMs) const;

private:
    struct Entry {
        std::string name;
        Check check;
        bool ok = false;
    };
    mutable std::mutex mutex_;
    std::vector<Entry> entries_;
    bool refreshed_ = false;
    bool refreshing_ = false;
    std::int64_t refreshStartedAtMs_ = 0;
};

}
