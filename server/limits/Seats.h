#pragma once
#include <cstddef>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

namespace tender::server {

// Places held at once, capped in all and per key: connections per client, streams per user, password
// checks per client. A Seat gives its place back when it goes, whenever that is.
class Seats {
public:
    class Seat;

    // A cap of 0 is no cap. An empty key counts only towards the total.
    Seats(std::size_t total, std::size_t perKey);

    // A place, or nothing when a cap is reached; `overTotal` lets it past the total cap (never past
    // the key's), for a caller that is making room in another way.
    std::optional<Seat> take(const std::string& key, bool overTotal = false);
    bool keyFull(const std::string& key) const;
    std::size_t taken() const;

private:
    struct Shared {
        std::size_t total;
        std::size_t perKey;
        mutable std::mutex mutex;
        std::size_t taken = 0;
        std::unordered_map<std::string, std::size_t> byKey;
        void release(const std::string& key);
    };
    std::shared_ptr<Shared> shared_;
};

class Seats::Seat {
public:
    Seat(Seat&& other) noexcept;
    Seat& operator=(Seat&& other) noexcept;
    Seat(const Seat&) = delete;
    Seat& operator=(const Seat&) = delete;
    ~Seat();

private:
    friend class Seats;
    Seat(std::shared_ptr<Shared> owner, std::string key);

    std::shared_ptr<Shared> owner_;
    std::string key_;
};

using Seat = Seats::Seat;

}
