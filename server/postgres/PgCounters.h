#pragma once
#include "limits/Counters.h"
#include "postgres/PgPool.h"

namespace tender::server {

// Throttle windows kept in the database, so that a limit holds on every node at once.
class PgCounters final : public Counters {
public:
    explicit PgCounters(PgPool& pool) : pool_(pool) {}
    Window add(const std::string& key, std::int64_t amount, std::int64_t windowMs, std::int64_t nowMs) override;
    void clear(const std::string& key) override;

private:
    PgPool& pool_;
};

}
