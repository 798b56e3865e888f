#include "postgres/PgAnyoneLedger.h"

namespace tender::server {

bool PgAnyoneLedger::claimHour(const std::string& uid, std::int64_t nowMs, std::int64_t intervalMs)
{
    return pool_.run([&](PgConnection& db) {
        return !db.exec("INSERT INTO anyone_sent (uid, at) VALUES ($1, $2) ON CONFLICT (uid) DO UPDATE "
                        "SET at = EXCLUDED.at WHERE anyone_sent.at <= $2::BIGINT - $3::BIGINT RETURNING 1",
                      {uid, number(nowMs), number(intervalMs)})
                    .empty();
    });
}

void PgAnyoneLedger::releaseHour(const std::string& uid, std::int64_t nowMs)
{
    pool_.run([&](PgConnection& db) { db.exec("DELETE FROM anyone_sent WHERE uid = $1 AND at = $2", {uid, number(nowMs)}); });
}

void PgAnyoneLedger::keepWaiting(const std::string& sender, std::int64_t expiresMs)
{
    pool_.run([&](PgConnection& db) {
        db.exec("INSERT INTO anyone_waiting (sender, expires_at) VALUES ($1, $2)", {sender, number(expiresMs)});
    });
}

bool PgAnyoneLedger::takeWaiting(const std::string& uid, std::int64_t nowMs)
{
    return pool_.run([&](PgConnection& db) {
        db.exec("DELETE FROM anyone_waiting WHERE expires_at <= $1", {number(nowMs)});
        // SKIP LOCKED: two nodes opening streams at once take two different hearts, never one twice.
        return !db.exec("DELETE FROM anyone_waiting WHERE id = (SELECT id FROM anyone_waiting WHERE sender <> $1 "
                        "AND expires_at > $2 ORDER BY id LIMIT 1 FOR UPDATE SKIP LOCKED) RETURNING id",
                      {uid, number(nowMs)})
                    .empty();
    });
}

}
