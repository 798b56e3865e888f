#include "postgres/PgMigrations.h"
#include "postgres/PgConnection.h"
#include <array>

namespace tender::server {
namespace {

constexpr const char* lockKey = "7317211"; // any number every node agrees on

constexpr std::array<const char*, 2> pgSteps = {
    R"sql(
    CREATE TABLE users (
        uid TEXT PRIMARY KEY,
        email TEXT NOT NULL UNIQUE,
        invite_code TEXT NOT NULL UNIQUE,
        password_hash TEXT,
        created_at BIGINT NOT NULL,
        session_epoch BIGINT NOT NULL DEFAULT 0
    );
    CREATE TABLE refresh_tokens (
        hash TEXT PRIMARY KEY,
        uid TEXT NOT NULL REFERENCES users(uid) ON DELETE CASCADE,
        revoked BOOLEAN NOT NULL DEFAULT FALSE
    );
    CREATE INDEX refresh_tokens_uid ON refresh_tokens(uid);
    CREATE TABLE reset_codes (
        hash TEXT PRIMARY KEY,
        uid TEXT NOT NULL REFERENCES users(uid) ON DELETE CASCADE,
        expires_at BIGINT NOT NULL
    );
    CREATE INDEX reset_codes_uid ON reset_codes(uid);
    CREATE INDEX reset_codes_expires_at ON reset_codes(expires_at);
    CREATE TABLE contacts (
        id TEXT PRIMARY KEY,
        owner TEXT NOT NULL REFERENCES users(uid) ON DELETE CASCADE,
        target TEXT NOT NULL REFERENCES users(uid) ON DELETE CASCADE,
        label TEXT NOT NULL,
        close BOOLEAN NOT NULL DEFAULT FALSE,
        position BIGINT NOT NULL,
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
        created_at BIGINT NOT NULL,
        seq BIGSERIAL,
        last_seen_at BIGINT
    );
    CREATE INDEX devices_owner ON devices(owner);
    -- What several nodes share beyond the accounts.
    CREATE TABLE secrets (name TEXT PRIMARY KEY, value TEXT NOT NULL);
    CREATE TABLE anyone_sent (uid TEXT PRIMARY KEY, at BIGINT NOT NULL);
    CREATE TABLE anyone_waiting (id BIGSERIAL PRIMARY KEY, sender TEXT NOT NULL, expires_at BIGINT NOT NULL);
    CREATE TABLE login_failures (email TEXT PRIMARY KEY, failures INTEGER NOT NULL, since BIGINT NOT NULL);
    -- Who is online now: lost with a crash of the database, and rebuilt by the nodes as streams return.
    CREATE UNLOGGED TABLE nodes (id TEXT PRIMARY KEY, seen_at BIGINT NOT NULL);
    CREATE UNLOGGED TABLE presence (node TEXT NOT NULL, uid TEXT NOT NULL, PRIMARY KEY (node, uid));
    )sql",
    R"sql(
    -- Every throttle counts in windows by key (password checks per client, failures per address and
    -- client, reset mail, invite guesses) in place of the failed sign-ins by address alone.
    DROP TABLE login_failures;
    CREATE TABLE throttle_windows (key TEXT PRIMARY KEY, count BIGINT NOT NULL, ends_at BIGINT NOT NULL);
    CREATE INDEX throttle_windows_ends_at ON throttle_windows(ends_at);
    )sql",
};

}

void migratePostgres(PgConnection& db)
{
    db.exec(std::string("SELECT pg_advisory_lock(") + lockKey + ")");
    try {
        db.exec("CREATE TABLE IF NOT EXISTS schema_version (version INTEGER NOT NULL)");
        auto rows = db.exec("SELECT COALESCE(MAX(version), 0) FROM schema_version");
        auto version = rows.integer(0, 0);
        if (version > static_cast<std::int64_t>(pgSteps.size()))
            throw std::runtime_error("the database was written by a newer tender-server (schema version "
                + std::to_string(version) + ")");
        for (auto next = version; next < static_cast<std::int64_t>(pgSteps.size()); ++next)
            inTransaction(db, [&] {
                db.exec(pgSteps[static_cast<std::size_t>(next)]);
                db.exec("DELETE FROM schema_version");
                db.exec("INSERT INTO schema_version (version) VALUES ($1)", {number(next + 1)});
            });
    } catch (...) {
        if (!db.broken())
            db.exec(std::string("SELECT pg_advisory_unlock(") + lockKey + ")");
        throw;
    }
    db.exec(std::string("SELECT pg_advisory_unlock(") + lockKey + ")");
}

}
