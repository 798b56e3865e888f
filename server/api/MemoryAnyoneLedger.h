#pragma once
#include "api/AnyoneLedger.h"
#include <deque>
#include <mutex>
#include <unordered_map>

namespace tender::server {

// The ledger of one process.
class MemoryAnyoneLedger final : public AnyoneLedger {
public:
    bool claimHour(const std::string& uid, std::int64_t nowMs, std::int64_t intervalMs) override;
    void releaseHour(const std::string& uid, std::int64_t nowMs) override;
    void keepWaiting(const std::string& sender, std::int64_t expiresMs) override;
    bool takeWaiting(const std::string& uid, std::int64_t nowMs) override;

private:
    struct Waiting {
        std::string sender;
        std::int64_t expiresMs;
    };

    std::mutex mutex_;
    std::unordered_map<std::string, std::int64_t> lastSent_;
    std::deque<Waiting> waiting_;
};

}
