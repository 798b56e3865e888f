#include "postgres/PgStore.h"
#include "store/SqlText.h"

// The people and devices lists of PgStore. Every change of a list first locks its owner's row,
// so two nodes changing one list take turns, as the single SQLite connection makes them.
namespace tender::server {
namespace {

Contact readContact(const PgRows& rows, int row)
{
    return Contact{rows.text(row, 0), rows.text(row, 1), rows.text(row, 2), rows.text(row, 3), rows.boolean(row, 4),
        rows.integer(row, 5)};
}

Device readDevice(const PgRows& rows, int row)
{
    Device device{rows.text(row, 0), rows.text(row, 1), rows.text(row, 2), rows.text(row, 3), {}, std::nullopt};
    device.capabilities = splitCapabilities(rows.text(row, 4));
    if (!rows.isNull(row, 5))
        device.lastSeenMs = rows.integer(row, 5);
    return device;
}

// False when the owner is gone.
bool lockOwner(PgConnection& db, const std::string& owner)
{
    return !db.exec("SELECT 1 FROM users WHERE uid = $1 FOR UPDATE", {owner}).empty();
}

std::optional<Contact> contactIn(PgConnection& db, const std::string& owner, const std::string& id)
{
    auto rows = db.exec(select(contactColumns, "FROM contacts WHERE owner = $1 AND id = $2"), {owner, id});
    if (rows.empty())
        return std::nullopt;
    return readContact(rows, 0);
}

std::int64_t contactCount(PgConnection& db, const std::string& owner)
{
    return db.exec("SELECT COUNT(*) FROM contacts WHERE owner = $1", {owner}).integer(0, 0);
}

void moveContact(PgConnection& db, const Contact& entry, std::int64_t to)
{
    const std::int64_t from = entry.position;
    if (to == from)
        return;
    db.exec(to < from
            ? "UPDATE contacts SET position = position + 1 WHERE owner = $1 AND position >= $2 AND position < $3"
            : "UPDATE contacts SET position = position - 1 WHERE owner = $1 AND position <= $2 AND position > $3",
        {entry.owner, number(to), number(from)});
    db.exec("UPDATE contacts SET position = $1 WHERE id = $2", {number(to), entry.id});
}

}

std::vector<Contact> PgStore::contacts(const std::string& owner)
{
    return pool_.run([&](PgConnection& db) {
        auto rows = db.exec(select(contactColumns, "FROM contacts WHERE owner = $1 ORDER BY position"), {owner});
        std::vector<Contact> list;
        for (int i = 0; i < rows.size(); ++i)
            list.push_back(readContact(rows, i));
        return list;
    });
}

std::optional<Contact> PgStore::contact(const std::string& owner, const std::string& id)
{
    return pool_.run([&](PgConnection& db) { return contactIn(db, owner, id); });
}

std::optional<std::string> PgStore::contactTarget(const std::string& owner, const std::string& id)
{
    return pool_.run([&](PgConnection& db) -> std::optional<std::string> {
        auto rows = db.exec("SELECT target FROM contacts WHERE owner = $1 AND id = $2", {owner, id});
        if (rows.empty())
            return std::nullopt;
        return rows.text(0, 0);
    });
}

void PgStore::eachListEntry(const EntryVisitor& each)
{
    pool_.run([&](PgConnection& db) {
        auto rows = db.exec("SELECT owner, id, target FROM contacts ORDER BY owner");
        for (int i = 0; i < rows.size(); ++i)
            if (!each(rows.text(i, 0), rows.text(i, 1), rows.text(i, 2)))
                return;
    });
}

std::pair<AddContactOutcome, Contact> PgStore::addContact(const Contact& entry, std::size_t limit)
{
    return pool_.run([&](PgConnection& db) {
        return inTransaction(db, [&]() -> std::pair<AddContactOutcome, Contact> {
            lockOwner(db, entry.owner);
            if (!db.exec("SELECT 1 FROM contacts WHERE owner = $1 AND target = $2", {entry.owner, entry.target}).empty())
                return {AddContactOutcome::alreadyListed, entry};
            auto count = contactCount(db, entry.owner);
            if (count >= static_cast<std::int64_t>(limit))
                return {AddContactOutcome::full, entry};
            Contact added = entry;
            added.position = count;
            db.exec("INSERT INTO contacts (id, owner, target, label, close, position) VALUES ($1, $2, $3, $4, $5, $6)",
                {added.id, added.owner, added.target, added.label, added.close ? "true" : "false", number(count)});
            return {AddContactOutcome::added, added};
        });
    });
}

std::optional<Contact> PgStore::updateContact(const std::string& owner, const std::string& id,
    const ContactPatch& patch)
{
    return pool_.run([&](PgConnection& db) {
        return inTransaction(db, [&]() -> std::optional<Contact> {
            lockOwner(db, owner);
            auto entry = contactIn(db, owner, id);
            if (!entry)
                return std::nullopt;
            if (patch.position) {
                if (*patch.position < 0 || *patch.position >= contactCount(db, owner))
                    return std::nullopt;
                moveContact(db, *entry, *patch.position);
            }
            db.exec("UPDATE contacts SET label = $1, close = $2 WHERE id = $3",
                {patch.label.value_or(entry->label), patch.close.value_or(entry->close) ? "true" : "false", id});
            return contactIn(db, owner, id);
        });
    });
}

bool PgStore::removeContact(const std::string& owner, const std::string& id)
{
    return pool_.run([&](PgConnection& db) {
        return inTransaction(db, [&] {
            lockOwner(db, owner);
            auto removed = db.exec("DELETE FROM contacts WHERE owner = $1 AND id = $2 RETURNING position", {owner, id});
            if (removed.empty())
                return false;
            db.exec("UPDATE contacts SET position = position - 1 WHERE owner = $1 AND position > $2",
                {owner, removed.text(0, 0)});
            return true;
        });
    });
}

std::vector<Device> PgStore::devices(const std::string& owner)
{
    return pool_.run([&](PgConnection& db) {
        auto rows = db.exec(select(deviceColumns, "FROM devices WHERE owner = $1 ORDER BY created_at, seq"), {owner});
        std::vector<Device> list;
        for (int i = 0; i < rows.size(); ++i)
            list.push_back(readDevice(rows, i));
        return list;
    });
}

AddDeviceOutcome PgStore::addDevice(const Device& device, const std::string& tokenHash, std::size_t limit)
{
    return pool_.run([&](PgConnection& db) {
        return inTransaction(db, [&] {
            lockOwner(db, device.owner);
            auto count = db.exec("SELECT COUNT(*) FROM devices WHERE owner = $1", {device.owner}).integer(0, 0);
            if (count >= static_cast<std::int64_t>(limit))
                return AddDeviceOutcome::full;
            db.exec("INSERT INTO devices (id, owner, name, kind, capabilities, token_hash, created_at) "
                    "VALUES ($1, $2, $3, $4, $5, $6, (EXTRACT(EPOCH FROM now()) * 1000)::BIGINT)",
                {device.id, device.owner, device.name, device.kind, joinCapabilities(device.capabilities), tokenHash});
            return AddDeviceOutcome::added;
        });
    });
}

bool PgStore::removeDevice(const std::string& owner, const std::string& id)
{
    return pool_.run([&](PgConnection& db) {
        return db.exec("DELETE FROM devices WHERE owner = $1 AND id = $2", {owner, id}).affected() == 1;
    });
}

std::optional<Device> PgStore::deviceByTokenHash(const std::string& hash)
{
    return pool_.run([&](PgConnection& db) -> std::optional<Device> {
        auto rows = db.exec(select(deviceColumns, "FROM devices WHERE token_hash = $1"), {hash});
        if (rows.empty())
            return std::nullopt;
        return readDevice(rows, 0);
    });
}

void PgStore::recordDevicesSeen(const std::vector<std::pair<std::string, std::int64_t>>& seen)
{
    if (seen.empty())
        return;
    pool_.run([&](PgConnection& db) {
        inTransaction(db, [&] {
            for (const auto& [id, ms] : seen)
                db.exec("UPDATE devices SET last_seen_at = GREATEST(COALESCE(last_seen_at, 0), $1) WHERE id = $2",
                    {number(ms), id});
        });
    });
}

}
