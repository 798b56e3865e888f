#include "postgres/PgLoginThrottle.h"

namespace tender::server {

bool PgLoginThrottle::blocked(const std::string& email, std::int64_t nowMs)
{
    return pool_.run([&](PgConnection& db) {
        return !db.exec("SELECT 1 FROM login_failures WHERE email = $1 AND failures >= $2 AND since > $3",
                      {email, number(maxFailures), number(nowMs - windowMs)})
                    .empty();
    });
}

void PgLoginThrottle::failed(const std::string& email, std::int64_t nowMs)
{
    pool_.run([&](PgConnection& db) {
        auto windowStart = number(nowMs - windowMs);
        db.exec("DELETE FROM login_failures WHERE since <= $1 AND email <> $2", {windowStart, email});
        db.exec("INSERT INTO login_failures (email, failures, since) VALUES ($1, 1, $2) ON CONFLICT (email) DO UPDATE "
                "SET failures = CASE WHEN login_failures.since <= $3 THEN 1 ELSE login_failures.failures + 1 END, "
                "since = CASE WHEN login_failures.since <= $3 THEN EXCLUDED.since ELSE login_failures.since END",
            {email, number(nowMs), windowStart});
    });
}

void PgLoginThrottle::succeeded(const std::string& email)
{
    pool_.run([&](PgConnection& db) { db.exec("DELETE FROM login_failures WHERE email = $1", {email}); });
}

}
