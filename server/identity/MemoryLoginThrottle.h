#pragma once
#include "identity/LoginThrottle.h"
#include <mutex>
#include <unordered_map>

namespace tender::server {

// The throttle of one process.
class MemoryLoginThrottle final : public LoginThrottle {
public:
    bool blocked(const std::string& email, std::int64_t nowMs) override;
    void failed(const std::string& email, std::int64_t nowMs) override;
    void succeeded(const std::string& email) override;

private:
    struct Record {
        int failures = 0;
        std::int64_t since = 0;
    };
    void forgetOld(std::int64_t nowMs);

    std::mutex mutex_;
    std::unordered_map<std::string, Record> records_;
};

}
