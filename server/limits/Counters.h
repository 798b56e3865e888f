#pragma once
#include <cstdint>
#include <string>

namespace tender::server {

// Counts by key in fixed windows: what the throttles keep. In memory on one node; a shared database
// backs it when several nodes must see the same counts.
class Counters {
public:
    struct Window {
        std::int64_t count = 0;
        std::int64_t endsAtMs = 0; // when the count starts again from zero
    };

    virtual ~Counters() = default;
    // Adds `amount` to `key`'s count and gives the count after it. A key whose window is over (or that
    // has none) starts a new one of `windowMs` at `nowMs`; an amount of 0 only reads and starts nothing.
    virtual Window add(const std::string& key, std::int64_t amount, std::int64_t windowMs, std::int64_t nowMs) = 0;
    virtual void clear(const std::string& key) = 0;
};

}
