#pragma once
#include "postgres/PgPool.h"
#include "store/Store.h"

namespace tender::server {

// Everything the service keeps, in PostgreSQL: the same calls, each one atomic step, as SqliteStore.
// Calls block on the database, so they belong on the threads that do database work.
class PgStore final : public Store {
public:
    explicit PgStore(PgPool& pool);

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
    std::optional<User> userWhere(const char* column, const std::string& value);

    PgPool& pool_;
};

}
