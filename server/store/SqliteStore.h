#pragma once
#include "store/Store.h"
#include <SQLiteCpp/Database.h>
#include <filesystem>
#include <SQLiteCpp/Statement.h>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace tender::server {

// One connection in WAL mode with synchronous=FULL: a change is on disk when a call returns.
class SqliteStore : public Store {
public:
    explicit SqliteStore(const std::filesystem::path& file);

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
    // The lookups every request makes, prepared once; the caller holds the mutex.
    SQLite::Statement& prepared(const std::string& sql);
    std::optional<Contact> contactLocked(const std::string& owner, const std::string& id);
    std::int64_t contactCount(const std::string& owner);
    void closeGap(const std::string& owner, std::int64_t position);
    void moveContact(const Contact& entry, std::int64_t to);

    std::mutex mutex_;
    SQLite::Database db_;
    std::unordered_map<std::string, std::unique_ptr<SQLite::Statement>> prepared_;
};

}
