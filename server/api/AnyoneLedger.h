#pragma once
#include <cstdint>
#include <string>

namespace tender::server {

// What the heart to someone in the world must remember: who sent one within the hour, and hearts
// that found nobody online and wait for the next person who accepts them.
class AnyoneLedger {
public:
    virtual ~AnyoneLedger() = default;
    // False when the user sent one less than `intervalMs` ago; otherwise records this one.
    virtual bool claimHour(const std::string& uid, std::int64_t nowMs, std::int64_t intervalMs) = 0;
    // Forgets the claim made at `nowMs`, for a heart that could not be sent after all.
    virtual void releaseHour(const std::string& uid, std::int64_t nowMs) = 0;
    virtual void keepWaiting(const std::string& sender, std::int64_t expiresMs) = 0;
    // Takes one unexpired waiting heart from someone other than `uid`.
    virtual bool takeWaiting(const std::string& uid, std::int64_t nowMs) = 0;
};

}
