#pragma once
#include "limits/Counters.h"
#include <mutex>
#include <unordered_map>

namespace tender::server {

// Counters of this process. Bounded: past `maxKeys` live windows, new keys share one window, so a
// flood of distinct keys is still counted rather than remembered key by key.
class MemoryCounters final : public Counters {
public:
    explicit MemoryCounters(std::size_t maxKeys = 1 << 18);

    Window add(const std::string& key, std::int64_t amount, std::int64_t windowMs, std::int64_t nowMs) override;
    void clear(const std::string& key) override;

private:
    std::unordered_map<std::string, Window>::iterator windowFor(const std::string& key, std::int64_t nowMs);

    std::size_t maxKeys_;
    std::mutex mutex_;
    std::unordered_map<std::string, Window> windows_;
};

}
