#pragma once
#include "identity/LoginThrottle.h"
#include "postgres/PgPool.h"

namespace tender::server {

// Failed sign-ins counted in the database, so a lock-out holds on every node.
class PgLoginThrottle final : public LoginThrottle {
public:
    explicit PgLoginThrottle(PgPool& pool) : pool_(pool) {}
    bool blocked(const std::string& email, std::int64_t nowMs) override;
    void failed(const std::string& email, std::int64_t nowMs) override;
    void succeeded(const std::string& email) override;

private:
    PgPool& pool_;
};

}
