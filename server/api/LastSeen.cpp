#include "api/LastSeen.h"
#include <vector>

namespace tender::server {

LastSeen::LastSeen(Store& store)
    : store_(store)
{
}

void LastSeen::touch(const std::string& deviceId, std::int64_t nowMs)
{
    std::lock_guard lock(mutex_);
    pending_[deviceId] = nowMs;
}

void LastSeen::flush()
{
    std::vector<std::pair<std::string, std::int64_t>> batch;
    {
        std::lock_guard lock(mutex_);
        batch.assign(pending_.begin(), pending_.end());
        pending_.clear();
    }
    store_.recordDevicesSeen(batch);
}

}
