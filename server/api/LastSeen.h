#pragma once
#include "store/Store.h"
#include <mutex>
#include <unordered_map>

namespace tender::server {

// Devices' last-seen times, gathered in memory and written in one batch, so that a device's
// signal never waits for the disk. A batch the database refused stays for the next flush.
class LastSeen {
public:
    explicit LastSeen(Store& store);
    void touch(const std::string& deviceId, std::int64_t nowMs);
    // Throws what the database threw, after keeping the batch.
    void flush();

private:
    Store& store_;
    std::mutex mutex_;
    std::unordered_map<std::string, std::int64_t> pending_;
};

}
