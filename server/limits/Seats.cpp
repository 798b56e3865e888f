#include "limits/Seats.h"

namespace tender::server {

Seats::Seats(std::size_t total, std::size_t perKey)
    : shared_(new Shared{total, perKey}) // braces: clang 14 has no aggregate initialisation with parentheses
{
}

std::optional<Seat> Seats::take(const std::string& key, bool overTotal)
{
    auto& s = *shared_;
    std::lock_guard lock(s.mutex);
    if (s.total && s.taken >= s.total && !overTotal)
        return std::nullopt;
    if (!key.empty()) {
        auto found = s.byKey.find(key);
        if (s.perKey && found != s.byKey.end() && found->second >= s.perKey)
            return std::nullopt;
        ++s.byKey[key];
    }
    ++s.taken;
    return Seat(shared_, key);
}

bool Seats::keyFull(const std::string& key) const
{
    auto& s = *shared_;
    std::lock_guard lock(s.mutex);
    auto found = s.byKey.find(key);
    return s.perKey && !key.empty() && found != s.byKey.end() && found->second >= s.perKey;
}

std::size_t Seats::taken() const
{
    std::lock_guard lock(shared_->mutex);
    return shared_->taken;
}

void Seats::Shared::release(const std::string& key)
{
    std::lock_guard lock(mutex);
    --taken;
    if (key.empty())
        return;
    auto found = byKey.find(key);
    if (found != byKey.end() && --found->second == 0)
        byKey.erase(found);
}

Seat::Seat(std::shared_ptr<Shared> owner, std::string key)
    : owner_(std::move(owner))
    , key_(std::move(key))
{
}

Seat::Seat(Seat&& other) noexcept = default;

Seat& Seat::operator=(Seat&& other) noexcept
{
    if (this != &other) {
        if (owner_)
            owner_->release(key_);
        owner_ = std::move(other.owner_);
        key_ = std::move(other.key_);
    }
    return *this;
}

Seat::~Seat()
{
    if (owner_)
        owner_->release(key_);
}

}
