#pragma once
#include "store/Store.h"
#include <mutex>
#include <unordered_map>

namespace tender::server {

// Keeps in memory what every signal asks for: users by uid and, per owner, where each entry of
// their list points. Every write goes through here, so the copies are dropped as the database
// changes; the database stays the source of truth and a miss reads it again.
class CachedStore final : public Store {
public:
    // Past this many users or lists the copies start over rather than grow without end.
    static constexpr std::size_t maxKept = 1 << 17;

    explicit CachedStore(Store& inner);

    // Reads every list into memory (up to the bound), so no signal waits for the database after
    // a start. Slow: call it away from the threads that serve requests.
    void warmLists();

    bool createUser(const User& user) override;
    std::optional<User> userById(const std::string& uid) override;
    std::optional<User> userByEmail(const std::string& email) override;
    std::optional<User> userByInviteCode(const std::string& code) override;
    bool inviteCodeTaken(const std::string& code) override;
    void replacePassword(const std::string& uid, const std::string& passwordHash) override;
    std::vector<std::string> deleteUser(const std::string& uid) override;

    void addRefreshToken(const std::string& hash, const std::string& uid) override;
    std::optional<RefreshGrant> refreshGrant(const std::string& hash) override;

    void addResetCode(const std::string& hash, const std::string& uid, std::int64_t expiresAtMs) override;
    std::optional<std::string> takeResetCode(const std::string& hash, std::int64_t nowMs) override;
    std::size_t purgeExpiredResetCodes(std::int64_t nowMs) override;

    std::vector<Contact> contacts(const std::string& owner) override;
    std::optional<Contact> contact(const std::string& owner, const std::string& id) override;
    std::optional<std::string> contactTarget(const std::string& owner, const std::string& id) override;
    std::pair<AddContactOutcome, Contact> addContact(const Contact& entry, std::size_t limit) override;
    std::optional<Contact> updateContact(const std::string& owner, const std::string& id,
        const ContactPatch& patch) override;
    bool removeContact(const std::string& owner, const std::string& id) override;
    void eachListEntry(const EntryVisitor& each) override;

    std::vector<Device> devices(const std::string& owner) override;
    AddDeviceOutcome addDevice(const Device& device, const std::string& tokenHash, std::size_t limit) override;
    bool removeDevice(const std::string& owner, const std::string& id) override;
    std::optional<Device> deviceByTokenHash(const std::string& hash) override;
    void recordDevicesSeen(const std::vector<std::pair<std::string, std::int64_t>>& seen) override;
    bool reachable() override;

private:
    using Targets = std::vector<std::pair<std::string, std::string>>; // entry id, the person it points at

    // A miss reads the database outside the lock; what it read is kept only if nothing was
    // dropped meanwhile, so a write racing the read never leaves a stale copy behind.
    // `pick` takes what the caller wants from the kept value while the lock is held.
    template <typename Map, typename Load, typename Pick>
    auto readThrough(Map& map, const std::string& key, Load load, Pick pick);
    void forgetUser(const std::string& uid);
    void forgetList(const std::string& owner);

    Store& inner_;
    std::mutex mutex_;
    std::uint64_t drops_ = 0;
    std::unordered_map<std::string, User> users_;
    std::unordered_map<std::string, Targets> lists_;
};

}
