#include "hub/AnyonePool.h"

namespace tender::server {

void AnyonePool::add(const std::string& uid)
{
    auto [slot, inserted] = slots_.try_emplace(uid, Slot{uids_.size(), 0});
    if (inserted)
        uids_.push_back(uid);
    ++slot->second.streams;
}

void AnyonePool::remove(const std::string& uid)
{
    auto slot = slots_.find(uid);
    if (slot == slots_.end() || --slot->second.streams > 0)
        return;
    std::size_t index = slot->second.index;
    slots_.erase(slot);
    if (index + 1 != uids_.size()) {
        uids_[index] = std::move(uids_.back());
        slots_[uids_[index]].index = index;
    }
    uids_.pop_back();
}

std::optional<std::string> AnyonePool::pickOtherThan(const std::string& uid,
    const std::function<std::uint32_t(std::uint32_t)>& below) const
{
    auto own = slots_.find(uid);
    std::size_t candidates = uids_.size() - (own == slots_.end() ? 0 : 1);
    if (candidates == 0)
        return std::nullopt;
    std::size_t pick = below(static_cast<std::uint32_t>(candidates));
    // Skipping over the sender's own slot keeps every other user equally likely.
    if (own != slots_.end() && pick >= own->second.index)
        ++pick;
    return uids_[pick];
}

}
