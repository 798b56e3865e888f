#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace tender::server {

// Users with at least one open stream that accepts strangers' signals, for uniform random picks.
// Not thread-safe: its owner locks.
class AnyonePool {
public:
    void add(const std::string& uid);
    void remove(const std::string& uid);
    // `below(n)` gives a uniform integer in [0, n).
    std::optional<std::string> pickOtherThan(const std::string& uid,
        const std::function<std::uint32_t(std::uint32_t)>& below) const;
    std::size_t size() const { return uids_.size(); }

private:
    struct Slot {
        std::size_t index;
        int streams;
    };
    std::vector<std::string> uids_;
    std::unordered_map<std::string, Slot> slots_;
};

}
