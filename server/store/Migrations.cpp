#include "store/Migrations.h"
#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Transaction.h>
#include <array>
#include <stdexcept>
#include <string>

namespace tender::server {
namespace {

constexpr std::array<const char*, 2> steps = {
    R"sql(
    CREATE TABLE users (
        uid TEXT PRIMARY KEY,
        email TEXT NOT NULL UNIQUE,
        invite_code TEXT NOT NULL UNIQUE,
        password_hash TEXT,
        created_at INTEGER NOT NULL
    );
    CREATE TABLE refresh_tokens (
        hash TEXT PRIMARY KEY,
        uid TEXT NOT NULL REFERENCES users(uid) ON DELETE CASCADE,
        revoked INTEGER NOT NULL DEFAULT 0
    );
    CREATE INDEX refresh_tokens_uid ON refresh_tokens(uid);
    CREATE TABLE reset_codes (
        hash TEXT PRIMARY KEY,
        uid TEXT NOT NULL REFERENCES users(uid) ON DELETE CASCADE,
        expires_at INTEGER NOT NULL
    );
    CREATE TABLE contacts (
        id TEXT PRIMARY KEY,
        owner TEXT NOT NULL REFERENCES users(uid) ON DELETE CASCADE,
        target TEXT NOT NULL REFERENCES users(uid) ON DELETE CASCADE,
        label TEXT NOT NULL,
        close INTEGER NOT NULL DEFAULT 0,
        position INTEGER NOT NULL,
        UNIQUE (owner, target)
    );
    CREATE INDEX contacts_target ON contacts(target);
    CREATE TABLE devices (
        id TEXT PRIMARY KEY,
        owner TEXT NOT NULL REFERENCES users(uid) ON DELETE CASCADE,
        name TEXT NOT NULL,
        kind TEXT NOT NULL,
        capabilities TEXT NOT NULL,
        token_hash TEXT NOT NULL UNIQUE,
        created_at INTEGER NOT NULL,
        last_seen_at INTEGER
    );
    CREATE INDEX devices_owner ON devices(owner);
    )sql",
    R"sql(
    ALTER TABLE users ADD COLUMN session_epoch INTEGER NOT NULL DEFAULT 0;
    CREATE INDEX reset_codes_uid ON reset_codes(uid);
    CREATE INDEX reset_codes_expires_at ON reset_codes(expires_at);
    )sql",
};

}

void migrate(SQLite::Database& db)
{
    int version = db.execAndGet("PRAGMA user_version").getInt();
    if (version > static_cast<int>(steps.size()))
        throw std::runtime_error("the database was written by a newer tender-server (schema version "
            + std::to_string(version) + ")");
    for (int next = version; next < static_cast<int>(steps.size()); ++next) {
        SQLite::Transaction transaction(db);
        db.exec(steps[static_cast<std::size_t>(next)]);
        db.exec("PRAGMA user_version = " + std::to_string(next + 1));
        transaction.commit();
    }
}

}
