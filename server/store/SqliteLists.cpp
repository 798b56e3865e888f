#include "store/SqlText.h"
#include "store/SqliteStore.h"
#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>

// The people and devices lists of SqliteStore.
namespace tender::server {
namespace {

Contact readContact(SQLite::Statement& q)
{
    return Contact{q.getColumn(0).getString(), q.getColumn(1).getString(), q.getColumn(2).getString(),
        q.getColumn(3).getString(), q.getColumn(4).getInt() != 0, q.getColumn(5).getInt64()};
}

Device readDevice(SQLite::Statement& q)
{
    Device device{q.getColumn(0).getString(), q.getColumn(1).getString(), q.getColumn(2).getString(),
        q.getColumn(3).getString(), {}, std::nullopt};
    device.capabilities = splitCapabilities(q.getColumn(4).getString());
    if (!q.getColumn(5).isNull())
        device.lastSeenMs = q.getColumn(5).getInt64();
    return device;
}

}

std::vector<Contact> SqliteStore::contacts(const std::string& owner)
{
    std::lock_guard lock(mutex_);
    auto& q = prepared(select(contactColumns, "FROM contacts WHERE owner = ? ORDER BY position"));
    q.bind(1, owner);
    std::vector<Contact> list;
    while (q.executeStep())
        list.push_back(readContact(q));
    q.reset();
    return list;
}

std::optional<Contact> SqliteStore::contactLocked(const std::string& owner, const std::string& id)
{
    auto& q = prepared(select(contactColumns, "FROM contacts WHERE owner = ? AND id = ?"));
    q.bind(1, owner);
    q.bind(2, id);
    std::optional<Contact> entry;
    if (q.executeStep())
        entry = readContact(q);
    q.reset();
    return entry;
}

std::optional<Contact> SqliteStore::contact(const std::string& owner, const std::string& id)
{
    std::lock_guard lock(mutex_);
    return contactLocked(owner, id);
}

std::optional<std::string> SqliteStore::contactTarget(const std::string& owner, const std::string& id)
{
    std::lock_guard lock(mutex_);
    auto& q = prepared("SELECT target FROM contacts WHERE owner = ? AND id = ?");
    q.bind(1, owner);
    q.bind(2, id);
    std::optional<std::string> target;
    if (q.executeStep())
        target = q.getColumn(0).getString();
    q.reset();
    return target;
}

// A connection of its own: in WAL mode it reads a snapshot while the shared one goes on writing.
void SqliteStore::eachListEntry(const EntryVisitor& each)
{
    SQLite::Database reader(db_.getFilename(), SQLite::OPEN_READONLY);
    SQLite::Statement q(reader, "SELECT owner, id, target FROM contacts ORDER BY owner");
    while (q.executeStep())
        if (!each(q.getColumn(0).getString(), q.getColumn(1).getString(), q.getColumn(2).getString()))
            return;
}

std::int64_t SqliteStore::contactCount(const std::string& owner)
{
    SQLite::Statement q(db_, "SELECT COUNT(*) FROM contacts WHERE owner = ?");
    q.bind(1, owner);
    q.executeStep();
    return q.getColumn(0).getInt64();
}

std::pair<AddContactOutcome, Contact> SqliteStore::addContact(const Contact& entry, std::size_t limit)
{
    std::lock_guard lock(mutex_);
    SQLite::Transaction transaction(db_);
    SQLite::Statement listed(db_, "SELECT 1 FROM contacts WHERE owner = ? AND target = ?");
    listed.bind(1, entry.owner);
    listed.bind(2, entry.target);
    if (listed.executeStep())
        return {AddContactOutcome::alreadyListed, entry};
    auto count = contactCount(entry.owner);
    if (count >= static_cast<std::int64_t>(limit))
        return {AddContactOutcome::full, entry};
    Contact added = entry;
    added.position = count;
    SQLite::Statement q(db_, "INSERT INTO contacts (id, owner, target, label, close, position) VALUES (?, ?, ?, ?, ?, ?)");
    q.bind(1, added.id);
    q.bind(2, added.owner);
    q.bind(3, added.target);
    q.bind(4, added.label);
    q.bind(5, added.close ? 1 : 0);
    q.bind(6, added.position);
    q.exec();
    transaction.commit();
    return {AddContactOutcome::added, added};
}

void SqliteStore::moveContact(const Contact& entry, std::int64_t to)
{
    const std::int64_t from = entry.position;
    if (to == from)
        return;
    SQLite::Statement shift(db_, to < from
            ? "UPDATE contacts SET position = position + 1 WHERE owner = ? AND position >= ? AND position < ?"
            : "UPDATE contacts SET position = position - 1 WHERE owner = ? AND position <= ? AND position > ?");
    shift.bind(1, entry.owner);
    shift.bind(2, to);
    shift.bind(3, from);
    shift.exec();
    SQLite::Statement place(db_, "UPDATE contacts SET position = ? WHERE id = ?");
    place.bind(1, to);
    place.bind(2, entry.id);
    place.exec();
}

std::optional<Contact> SqliteStore::updateContact(const std::string& owner, const std::string& id,
    const ContactPatch& patch)
{
    std::lock_guard lock(mutex_);
    SQLite::Transaction transaction(db_);
    auto entry = contactLocked(owner, id);
    if (!entry)
        return std::nullopt;
    if (patch.position) {
        if (*patch.position < 0 || *patch.position >= contactCount(owner))
            return std::nullopt;
        moveContact(*entry, *patch.position);
    }
    SQLite::Statement q(db_, "UPDATE contacts SET label = ?, close = ? WHERE id = ?");
    q.bind(1, patch.label.value_or(entry->label));
    q.bind(2, patch.close.value_or(entry->close) ? 1 : 0);
    q.bind(3, id);
    q.exec();
    auto updated = contactLocked(owner, id);
    transaction.commit();
    return updated;
}

void SqliteStore::closeGap(const std::string& owner, std::int64_t position)
{
    SQLite::Statement q(db_, "UPDATE contacts SET position = position - 1 WHERE owner = ? AND position > ?");
    q.bind(1, owner);
    q.bind(2, position);
    q.exec();
}

bool SqliteStore::removeContact(const std::string& owner, const std::string& id)
{
    std::lock_guard lock(mutex_);
    SQLite::Transaction transaction(db_);
    auto entry = contactLocked(owner, id);
    if (!entry)
        return false;
    SQLite::Statement q(db_, "DELETE FROM contacts WHERE id = ?");
    q.bind(1, id);
    q.exec();
    closeGap(owner, entry->position);
    transaction.commit();
    return true;
}

std::vector<Device> SqliteStore::devices(const std::string& owner)
{
    std::lock_guard lock(mutex_);
    SQLite::Statement q(db_, select(deviceColumns, "FROM devices WHERE owner = ? ORDER BY created_at, rowid"));
    q.bind(1, owner);
    std::vector<Device> list;
    while (q.executeStep())
        list.push_back(readDevice(q));
    return list;
}

AddDeviceOutcome SqliteStore::addDevice(const Device& device, const std::string& tokenHash, std::size_t limit)
{
    std::lock_guard lock(mutex_);
    SQLite::Transaction transaction(db_);
    SQLite::Statement count(db_, "SELECT COUNT(*) FROM devices WHERE owner = ?");
    count.bind(1, device.owner);
    count.executeStep();
    if (count.getColumn(0).getInt64() >= static_cast<std::int64_t>(limit))
        return AddDeviceOutcome::full;
    SQLite::Statement q(db_, "INSERT INTO devices (id, owner, name, kind, capabilities, token_hash, created_at) "
                             "VALUES (?, ?, ?, ?, ?, ?, strftime('%s','now') * 1000)");
    q.bind(1, device.id);
    q.bind(2, device.owner);
    q.bind(3, device.name);
    q.bind(4, device.kind);
    q.bind(5, joinCapabilities(device.capabilities));
    q.bind(6, tokenHash);
    q.exec();
    transaction.commit();
    return AddDeviceOutcome::added;
}

bool SqliteStore::removeDevice(const std::string& owner, const std::string& id)
{
    std::lock_guard lock(mutex_);
    SQLite::Statement q(db_, "DELETE FROM devices WHERE owner = ? AND id = ?");
    q.bind(1, owner);
    q.bind(2, id);
    return q.exec() == 1;
}

std::optional<Device> SqliteStore::deviceByTokenHash(const std::string& hash)
{
    std::lock_guard lock(mutex_);
    SQLite::Statement q(db_, select(deviceColumns, "FROM devices WHERE token_hash = ?"));
    q.bind(1, hash);
    if (!q.executeStep())
        return std::nullopt;
    return readDevice(q);
}

void SqliteStore::recordDevicesSeen(const std::vector<std::pair<std::string, std::int64_t>>& seen)
{
    if (seen.empty())
        return;
    std::lock_guard lock(mutex_);
    SQLite::Transaction transaction(db_);
    SQLite::Statement q(db_, "UPDATE devices SET last_seen_at = MAX(COALESCE(last_seen_at, 0), ?) WHERE id = ?");
    for (const auto& [id, ms] : seen) {
        q.bind(1, ms);
        q.bind(2, id);
        q.exec();
        q.reset();
    }
    transaction.commit();
}

}
