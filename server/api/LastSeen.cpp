#include "api/LastSeen.h"
#include <algorithm>
#include <vector>

namespace tender::server {

LastSeen::LastSeen(Store& store)
    : store_(store)
{
}

void LastSeen::touch(const std::string& deviceId, std::int64_t nowMs)
{
    std::lock_guard lock(mutex_);
    auto& latest = pending_[deviceId];
    latest = std::max(latest, nowMs);
}

void LastSeen::flush()
{
    std::vector<std::pair<std::string, std::int64_t>> batch;
    {
        std::lock_guard lock(mutex_);
        batch.assign(pending_.begin(), pending_.end());
        pending_.clear();
    }
    try {
        store_.recordDevicesSeen(batch);
    } catch (...) {
        std::lock_guard lock(mutex_);
        for (const auto& [id, ms] : batch) {
            auto [kept, added] = pending_.try_emplace(id, ms);
            kept->second = std::max(kept->second, ms);
        }
        throw;
    }
}

}
