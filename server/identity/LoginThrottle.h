#pragma once
#include <cstdint>
#include <mutex>
#include <string>
#include <unordered_map>

namespace tender::server {

// Counts failed sign-ins per address; after too many in a window the address is refused for a while.
class LoginThrottle {
public:
    static constexpr int maxFailures = 10;
    static constexpr std::int64_t windowMs = 15 * 60 * 1000;

    bool blocked(const std::string& email, std::int64_t nowMs);
    void failed(const std::string& email, std::int64_t nowMs);
    void succeeded(const std::string& email);

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
