#pragma once
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace tender::server {

// What /readyz reports: named checks (the database; the bus where there is one), each true while that
// part answers. The checks may be slow, so they run in the background and /readyz reads the results.
class Readiness {
public:
    // Results older than this count as failing: the checks themselves are stuck.
    static constexpr std::int64_t staleAfterMs = 15'000;

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
    std::int64_t refreshedAtMs_ = 0;
    bool refreshing_ = false;
};

}
