#include "store/SqliteStore.h"
#include "store/Migrations.h"
#include "store/SqlText.h"
#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>

namespace tender::server {
namespace {

User readUser(SQLite::Statement& q)
{
    User user{q.getColumn(0).getString(), q.getColumn(1).getString(), q.getColumn(2).getString(), std::nullopt,
        q.getColumn(4).getInt64(), q.getColumn(5).getInt64()};
    if (!q.getColumn(3).isNull())
        user.passwordHash = q.getColumn(3).getString();
    return user;
}

}

SqliteStore::SqliteStore(const std::filesystem::path& file)
    : db_(file.string(), SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE)
{
    db_.exec("PRAGMA journal_mode = WAL");
    db_.exec("PRAGMA synchronous = FULL");
    db_.exec("PRAGMA foreign_keys = ON");
    db_.setBusyTimeout(5000);
    migrate(db_);
}

bool SqliteStore::createUser(const User& user)
{
    std::lock_guard lock(mutex_);
    SQLite::Statement q(db_, "INSERT OR IGNORE INTO users (uid, email, invite_code, password_hash, created_at) "
                             "VALUES (?, ?, ?, ?, ?)");
    q.bind(1, user.uid);
    q.bind(2, user.email);
    q.bind(3, user.inviteCode);
    if (user.passwordHash)
        q.bind(4, *user.passwordHash);
    q.bind(5, user.createdAtMs);
    return q.exec() == 1;
}

std::optional<User> SqliteStore::userWhere(const char* column, const std::string& value)
{
    std::lock_guard lock(mutex_);
    auto& q = prepared(select(userColumns, "FROM users WHERE ") + column + " = ?");
    q.bind(1, value);
    std::optional<User> user;
    if (q.executeStep())
        user = readUser(q);
    q.reset(); // a statement left on a row would keep its read snapshot open
    return user;
}

SQLite::Statement& SqliteStore::prepared(const std::string& sql)
{
    auto& statement = prepared_[sql];
    if (!statement)
        statement = std::make_unique<SQLite::Statement>(db_, sql);
    statement->reset();
    statement->clearBindings();
    return *statement;
}

std::optional<User> SqliteStore::userById(const std::string& uid) { return userWhere("uid", uid); }
std::optional<User> SqliteStore::userByEmail(const std::string& email) { return userWhere("email", email); }
std::optional<User> SqliteStore::userByInviteCode(const std::string& code) { return userWhere("invite_code", code); }

bool SqliteStore::inviteCodeTaken(const std::string& code)
{
    return userByInviteCode(code).has_value();
}

void SqliteStore::replacePassword(const std::string& uid, const std::string& passwordHash)
{
    std::lock_guard lock(mutex_);
    SQLite::Transaction transaction(db_);
    SQLite::Statement password(db_, "UPDATE users SET password_hash = ?, session_epoch = session_epoch + 1 WHERE uid = ?");
    password.bind(1, passwordHash);
    password.bind(2, uid);
    password.exec();
    for (const char* sql : {"UPDATE refresh_tokens SET revoked = 1 WHERE uid = ?", "DELETE FROM reset_codes WHERE uid = ?"}) {
        SQLite::Statement q(db_, sql);
        q.bind(1, uid);
        q.exec();
    }
    transaction.commit();
}

std::vector<std::string> SqliteStore::deleteUser(const std::string& uid)
{
    std::lock_guard lock(mutex_);
    SQLite::Transaction transaction(db_);
    std::vector<std::pair<std::string, std::int64_t>> pointing;
    SQLite::Statement find(db_, "SELECT owner, position FROM contacts WHERE target = ? AND owner != ?");
    find.bind(1, uid);
    find.bind(2, uid);
    while (find.executeStep())
        pointing.emplace_back(find.getColumn(0).getString(), find.getColumn(1).getInt64());
    SQLite::Statement remove(db_, "DELETE FROM users WHERE uid = ?");
    remove.bind(1, uid);
    remove.exec();
    std::vector<std::string> owners;
    for (const auto& [owner, position] : pointing) {
        closeGap(owner, position);
        owners.push_back(owner);
    }
    transaction.commit();
    return owners;
}

void SqliteStore::addRefreshToken(const std::string& hash, const std::string& uid)
{
    std::lock_guard lock(mutex_);
    SQLite::Statement q(db_, "INSERT INTO refresh_tokens (hash, uid) VALUES (?, ?)");
    q.bind(1, hash);
    q.bind(2, uid);
    q.exec();
}

std::optional<RefreshGrant> SqliteStore::refreshGrant(const std::string& hash)
{
    std::lock_guard lock(mutex_);
    SQLite::Statement q(db_, "SELECT uid, revoked FROM refresh_tokens WHERE hash = ?");
    q.bind(1, hash);
    if (!q.executeStep())
        return std::nullopt;
    return RefreshGrant{q.getColumn(0).getString(), q.getColumn(1).getInt() != 0};
}

void SqliteStore::addResetCode(const std::string& hash, const std::string& uid, std::int64_t expiresAtMs)
{
    std::lock_guard lock(mutex_);
    SQLite::Statement q(db_, "INSERT INTO reset_codes (hash, uid, expires_at) VALUES (?, ?, ?)");
    q.bind(1, hash);
    q.bind(2, uid);
    q.bind(3, expiresAtMs);
    q.exec();
}

std::optional<std::string> SqliteStore::takeResetCode(const std::string& hash, std::int64_t nowMs)
{
    std::lock_guard lock(mutex_);
    SQLite::Transaction transaction(db_);
    SQLite::Statement find(db_, "SELECT uid, expires_at FROM reset_codes WHERE hash = ?");
    find.bind(1, hash);
    std::optional<std::string> uid;
    if (find.executeStep() && find.getColumn(1).getInt64() > nowMs)
        uid = find.getColumn(0).getString();
    SQLite::Statement remove(db_, "DELETE FROM reset_codes WHERE hash = ? OR expires_at <= ?");
    remove.bind(1, hash);
    remove.bind(2, nowMs);
    remove.exec();
    transaction.commit();
    return uid;
}

std::size_t SqliteStore::purgeExpiredResetCodes(std::int64_t nowMs)
{
    std::lock_guard lock(mutex_);
    SQLite::Statement q(db_, "DELETE FROM reset_codes WHERE expires_at <= ?");
    q.bind(1, nowMs);
    return static_cast<std::size_t>(q.exec());
}

bool SqliteStore::reachable()
{
    try {
        std::lock_guard lock(mutex_);
        auto& q = prepared("SELECT COUNT(*) FROM (SELECT 1 FROM users LIMIT 1)");
        bool answered = q.executeStep();
        q.reset();
        return answered;
    } catch (const std::exception&) {
        return false;
    }
}

}
