#pragma once
#include "store/Records.h"
#include <functional>
#include <utility>

namespace tender::server {

enum class AddContactOutcome { added, alreadyListed, full };
enum class AddDeviceOutcome { added, full };

// Everything the service keeps. SQLite satisfies it today; every call is one atomic step,
// so another database can take its place.
class Store {
public:
    virtual ~Store() = default;

    // Fails (returns false) when the e-mail or the invite code is taken.
    virtual bool createUser(const User& user) = 0;
    virtual std::optional<User> userById(const std::string& uid) = 0;
    virtual std::optional<User> userByEmail(const std::string& email) = 0;
    virtual std::optional<User> userByInviteCode(const std::string& code) = 0;
    virtual bool inviteCodeTaken(const std::string& code) = 0;
    // A new password that ends everything signed in before it, in one step: the user's refresh tokens
    // are revoked, their session epoch moves on (identity tokens of an earlier epoch stop passing) and
    // their reset codes are dropped.
    virtual void replacePassword(const std::string& uid, const std::string& passwordHash) = 0;
    // Removes the user with everything they own and every entry pointing at them;
    // returns the owners of the lists that lost an entry.
    virtual std::vector<std::string> deleteUser(const std::string& uid) = 0;

    virtual void addRefreshToken(const std::string& hash, const std::string& uid) = 0;
    virtual std::optional<RefreshGrant> refreshGrant(const std::string& hash) = 0;

    virtual void addResetCode(const std::string& hash, const std::string& uid, std::int64_t expiresAtMs) = 0;
    // Consumes a reset code; gives its user while it is unexpired.
    virtual std::optional<std::string> takeResetCode(const std::string& hash, std::int64_t nowMs) = 0;
    // Drops the reset codes that expired by `nowMs`; gives how many.
    virtual std::size_t purgeExpiredResetCodes(std::int64_t nowMs) = 0;

    virtual std::vector<Contact> contacts(const std::string& owner) = 0;
    virtual std::optional<Contact> contact(const std::string& owner, const std::string& id) = 0;
    // The person an entry of the owner's list points at: all that a signal needs.
    virtual std::optional<std::string> contactTarget(const std::string& owner, const std::string& id) = 0;
    virtual std::pair<AddContactOutcome, Contact> addContact(const Contact& entry, std::size_t limit) = 0;
    // Gives nothing when the entry is not the owner's; the position must be within the list.
    virtual std::optional<Contact> updateContact(const std::string& owner, const std::string& id,
        const ContactPatch& patch) = 0;
    virtual bool removeContact(const std::string& owner, const std::string& id) = 0;
    // Every entry of every list as (owner, entry id, target), one owner's entries together,
    // until `each` returns false. Read apart from the other calls, so it may take its time.
    using EntryVisitor = std::function<bool(const std::string& owner, std::string id, std::string target)>;
    virtual void eachListEntry(const EntryVisitor& each) = 0;

    virtual std::vector<Device> devices(const std::string& owner) = 0;
    virtual AddDeviceOutcome addDevice(const Device& device, const std::string& tokenHash, std::size_t limit) = 0;
    virtual bool removeDevice(const std::string& owner, const std::string& id) = 0;
    virtual std::optional<Device> deviceByTokenHash(const std::string& hash) = 0;
    virtual void recordDevicesSeen(const std::vector<std::pair<std::string, std::int64_t>>& seen) = 0;

    // A cheap read that shows the database answers; false rather than an exception.
    virtual bool reachable() = 0;
};

}
