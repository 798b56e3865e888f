#include "store/CachedStore.h"

namespace tender::server {

CachedStore::CachedStore(Store& inner)
    : inner_(inner)
{
}

template <typename Map, typename Load, typename Pick>
auto CachedStore::readThrough(Map& map, const std::string& key, Load load, Pick pick)
{
    std::uint64_t dropsBefore;
    {
        std::lock_guard lock(mutex_);
        if (auto found = map.find(key); found != map.end())
            return pick(found->second);
        dropsBefore = drops_;
    }
    auto loaded = load();
    if (!loaded)
        return decltype(pick(*loaded))();
    std::lock_guard lock(mutex_);
    if (drops_ == dropsBefore) {
        if (map.size() >= maxKept)
            map.clear();
        map.insert_or_assign(key, *loaded);
    }
    return pick(*loaded);
}

void CachedStore::forgetUser(const std::string& uid)
{
    std::lock_guard lock(mutex_);
    ++drops_;
    users_.erase(uid);
    lists_.erase(uid);
}

void CachedStore::forgetList(const std::string& owner)
{
    std::lock_guard lock(mutex_);
    ++drops_;
    lists_.erase(owner);
}

bool CachedStore::createUser(const User& user) { return inner_.createUser(user); }

std::optional<User> CachedStore::userById(const std::string& uid)
{
    return readThrough(users_, uid, [&] { return inner_.userById(uid); },
        [](const User& user) { return std::optional<User>(user); });
}

std::optional<User> CachedStore::userByEmail(const std::string& email) { return inner_.userByEmail(email); }
std::optional<User> CachedStore::userByInviteCode(const std::string& code) { return inner_.userByInviteCode(code); }
bool CachedStore::inviteCodeTaken(const std::string& code) { return inner_.inviteCodeTaken(code); }

void CachedStore::replacePassword(const std::string& uid, const std::string& passwordHash)
{
    inner_.replacePassword(uid, passwordHash);
    forgetUser(uid);
}

std::vector<std::string> CachedStore::deleteUser(const std::string& uid)
{
    auto owners = inner_.deleteUser(uid);
    forgetUser(uid);
    for (const auto& owner : owners)
        forgetList(owner);
    return owners;
}

void CachedStore::addRefreshToken(const std::string& hash, const std::string& uid) { inner_.addRefreshToken(hash, uid); }
std::optional<RefreshGrant> CachedStore::refreshGrant(const std::string& hash) { return inner_.refreshGrant(hash); }

void CachedStore::addResetCode(const std::string& hash, const std::string& uid, std::int64_t expiresAtMs)
{
    inner_.addResetCode(hash, uid, expiresAtMs);
}

std::optional<std::string> CachedStore::takeResetCode(const std::string& hash, std::int64_t nowMs)
{
    return inner_.takeResetCode(hash, nowMs);
}

std::size_t CachedStore::purgeExpiredResetCodes(std::int64_t nowMs) { return inner_.purgeExpiredResetCodes(nowMs); }

std::vector<Contact> CachedStore::contacts(const std::string& owner) { return inner_.contacts(owner); }

std::optional<Contact> CachedStore::contact(const std::string& owner, const std::string& id)
{
    return inner_.contact(owner, id);
}

std::optional<std::string> CachedStore::contactTarget(const std::string& owner, const std::string& id)
{
    // A whole list is read at once: a person who signals one entry is likely to signal others.
    auto load = [&] {
        Targets targets;
        for (auto& c : inner_.contacts(owner))
            targets.emplace_back(std::move(c.id), std::move(c.target));
        return std::optional<Targets>(std::move(targets));
    };
    auto pick = [&id](const Targets& targets) -> std::optional<std::string> {
        for (const auto& [entryId, target] : targets)
            if (entryId == id)
                return target;
        return std::nullopt;
    };
    return readThrough(lists_, owner, load, pick);
}

void CachedStore::eachListEntry(const EntryVisitor& each) { inner_.eachListEntry(each); }

void CachedStore::warmLists()
{
    std::uint64_t dropsBefore;
    {
        std::lock_guard lock(mutex_);
        dropsBefore = drops_;
    }
    std::unordered_map<std::string, Targets> read;
    inner_.eachListEntry([&](const std::string& owner, std::string id, std::string target) {
        if (read.size() >= maxKept && !read.contains(owner))
            return false;
        read[owner].emplace_back(std::move(id), std::move(target));
        return true;
    });
    std::lock_guard lock(mutex_);
    // A write meanwhile may have changed any of them: keep none rather than guess which.
    if (drops_ != dropsBefore)
        return;
    for (auto& [owner, targets] : read) {
        if (lists_.size() >= maxKept)
            break;
        lists_.try_emplace(owner, std::move(targets)); // a copy read since is as new as this one
    }
}

std::pair<AddContactOutcome, Contact> CachedStore::addContact(const Contact& entry, std::size_t limit)
{
    auto added = inner_.addContact(entry, limit);
    if (added.first == AddContactOutcome::added)
        forgetList(entry.owner);
    return added;
}

// A change of name, mark or place never changes where an entry points.
std::optional<Contact> CachedStore::updateContact(const std::string& owner, const std::string& id,
    const ContactPatch& patch)
{
    return inner_.updateContact(owner, id, patch);
}

bool CachedStore::removeContact(const std::string& owner, const std::string& id)
{
    bool removed = inner_.removeContact(owner, id);
    if (removed)
        forgetList(owner);
    return removed;
}

std::vector<Device> CachedStore::devices(const std::string& owner) { return inner_.devices(owner); }

AddDeviceOutcome CachedStore::addDevice(const Device& device, const std::string& tokenHash, std::size_t limit)
{
    return inner_.addDevice(device, tokenHash, limit);
}

bool CachedStore::removeDevice(const std::string& owner, const std::string& id) { return inner_.removeDevice(owner, id); }
std::optional<Device> CachedStore::deviceByTokenHash(const std::string& hash) { return inner_.deviceByTokenHash(hash); }

void CachedStore::recordDevicesSeen(const std::vector<std::pair<std::string, std::int64_t>>& seen)
{
    inner_.recordDevicesSeen(seen);
}

bool CachedStore::reachable() { return inner_.reachable(); }

}
