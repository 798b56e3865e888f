#pragma once
#include "api/AnyoneLedger.h"
#include "postgres/PgPool.h"

namespace tender::server {

// The ledger every node shares.
class PgAnyoneLedger final : public AnyoneLedger {
public:
    explicit PgAnyoneLedger(PgPool& pool) : pool_(pool) {}
    bool claimHour(const std::string& uid, std::int64_t nowMs, std::int64_t intervalMs) override;
    void releaseHour(const std::string& uid, std::int64_t nowMs) override;
    void keepWaiting(const std::string& sender, std::int64_t expiresMs) override;
    bool takeWaiting(const std::string& uid, std::int64_t nowMs) override;

private:
    PgPool& pool_;
};

}
