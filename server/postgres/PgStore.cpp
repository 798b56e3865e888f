#include "postgres/PgStore.h"
#include "postgres/PgMigrations.h"
#include "store/SqlText.h"

namespace tender::server {
namespace {

User readUser(const PgRows& rows, int row)
{
    User user{rows.text(row, 0), rows.text(row, 1), rows.text(row, 2), std::nullopt, rows.integer(row, 4),
        rows.integer(row, 5)};
    if (!rows.isNull(row, 3))
        user.passwordHash = rows.text(row, 3);
    return user;
}

}

PgStore::PgStore(PgPool& pool)
    : pool_(pool)
{
    pool_.run([](PgConnection& db) { migratePostgres(db); });
}

bool PgStore::createUser(const User& user)
{
    return pool_.run([&](PgConnection& db) {
        return db.exec("INSERT INTO users (uid, email, invite_code, password_hash, created_at) "
                       "VALUES ($1, $2, $3, $4, $5) ON CONFLICT DO NOTHING",
                   {user.uid, user.email, user.inviteCode, user.passwordHash, number(user.createdAtMs)})
                   .affected()
            == 1;
    });
}

std::optional<User> PgStore::userWhere(const char* column, const std::string& value)
{
    return pool_.run([&](PgConnection& db) -> std::optional<User> {
        auto rows = db.exec(select(userColumns, "FROM users WHERE ") + column + " = $1", {value});
        if (rows.empty())
            return std::nullopt;
        return readUser(rows, 0);
    });
}

std::optional<User> PgStore::userById(const std::string& uid) { return userWhere("uid", uid); }
std::optional<User> PgStore::userByEmail(const std::string& email) { return userWhere("email", email); }
std::optional<User> PgStore::userByInviteCode(const std::string& code) { return userWhere("invite_code", code); }
bool PgStore::inviteCodeTaken(const std::string& code) { return userByInviteCode(code).has_value(); }

void PgStore::replacePassword(const std::string& uid, const std::string& passwordHash)
{
    pool_.run([&](PgConnection& db) {
        inTransaction(db, [&] {
            db.exec("UPDATE users SET password_hash = $1, session_epoch = session_epoch + 1 WHERE uid = $2",
                {passwordHash, uid});
            db.exec("UPDATE refresh_tokens SET revoked = TRUE WHERE uid = $1", {uid});
            db.exec("DELETE FROM reset_codes WHERE uid = $1", {uid});
        });
    });
}

std::vector<std::string> PgStore::deleteUser(const std::string& uid)
{
    return pool_.run([&](PgConnection& db) {
        return inTransaction(db, [&] {
            // The lists that lose an entry are locked in one order, as every change of a list locks its owner.
            auto pointing = db.exec("SELECT c.owner, c.position FROM users u JOIN contacts c ON c.owner = u.uid "
                                    "WHERE c.target = $1 AND c.owner <> $1 ORDER BY u.uid FOR UPDATE OF u",
                {uid});
            db.exec("DELETE FROM users WHERE uid = $1", {uid});
            std::vector<std::string> owners;
            for (int i = 0; i < pointing.size(); ++i) {
                owners.push_back(pointing.text(i, 0));
                db.exec("UPDATE contacts SET position = position - 1 WHERE owner = $1 AND position > $2",
                    {owners.back(), pointing.text(i, 1)});
            }
            return owners;
        });
    });
}

void PgStore::addRefreshToken(const std::string& hash, const std::string& uid)
{
    pool_.run([&](PgConnection& db) { db.exec("INSERT INTO refresh_tokens (hash, uid) VALUES ($1, $2)", {hash, uid}); });
}

std::optional<RefreshGrant> PgStore::refreshGrant(const std::string& hash)
{
    return pool_.run([&](PgConnection& db) -> std::optional<RefreshGrant> {
        auto rows = db.exec("SELECT uid, revoked FROM refresh_tokens WHERE hash = $1", {hash});
        if (rows.empty())
            return std::nullopt;
        return RefreshGrant{rows.text(0, 0), rows.boolean(0, 1)};
    });
}

void PgStore::addResetCode(const std::string& hash, const std::string& uid, std::int64_t expiresAtMs)
{
    pool_.run([&](PgConnection& db) {
        db.exec("INSERT INTO reset_codes (hash, uid, expires_at) VALUES ($1, $2, $3)", {hash, uid, number(expiresAtMs)});
    });
}

std::optional<std::string> PgStore::takeResetCode(const std::string& hash, std::int64_t nowMs)
{
    return pool_.run([&](PgConnection& db) {
        return inTransaction(db, [&]() -> std::optional<std::string> {
            auto taken = db.exec("DELETE FROM reset_codes WHERE hash = $1 RETURNING uid, expires_at", {hash});
            db.exec("DELETE FROM reset_codes WHERE expires_at <= $1", {number(nowMs)});
            if (taken.empty() || taken.integer(0, 1) <= nowMs)
                return std::nullopt;
            return taken.text(0, 0);
        });
    });
}

}

namespace tender::server {

std::size_t PgStore::purgeExpiredResetCodes(std::int64_t nowMs)
{
    return pool_.run([&](PgConnection& db) {
        return static_cast<std::size_t>(db.exec("DELETE FROM reset_codes WHERE expires_at <= $1", {number(nowMs)}).affected());
    });
}

bool PgStore::reachable()
{
    return pool_.reachable();
}

}
