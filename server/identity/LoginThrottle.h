#pragma once
#include <cstdint>
#include <string>

namespace tender::server {

// Counts failed sign-ins per address; after too many in a window the address is refused for a while.
class LoginThrottle {
public:
    static constexpr int maxFailures = 10;
    static constexpr std::int64_t windowMs = 15 * 60 * 1000;

    virtual ~LoginThrottle() = default;
    virtual bool blocked(const std::string& email, std::int64_t nowMs) = 0;
    virtual void failed(const std::string& email, std::int64_t nowMs) = 0;
    virtual void succeeded(const std::string& email) = 0;
};

}
