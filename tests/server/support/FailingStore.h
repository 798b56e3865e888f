#pragma once
#include "store/SqliteStore.h"
#include <stdexcept>

namespace tender::testing {

// A real store whose writes of devices' last contact fail while `failing` is set, as a full disk or a
// lost database connection would make them.
class FailingStore : public server::SqliteStore {
public:
    using SqliteStore::SqliteStore;
    bool failing = false;

    void recordDevicesSeen(const std::vector<std::pair<std::string, std::int64_t>>& seen) override
    {
        if (failing)
            throw std::runtime_error("database is locked");
        SqliteStore::recordDevicesSeen(seen);
    }
};

}
