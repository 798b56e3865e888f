#include "postgres/PgCounters.h"

namespace tender::server {

Counters::Window PgCounters::add(const std::string& key, std::int64_t amount, std::int64_t windowMs, std::int64_t nowMs)
{
    return pool_.run([&](PgConnection& db) {
        if (amount == 0) {
            auto rows = db.exec("SELECT count, ends_at FROM throttle_windows WHERE key = $1 AND ends_at > $2",
                {key, number(nowMs)});
            return rows.empty() ? Window{0, nowMs} : Window{rows.integer(0, 0), rows.integer(0, 1)};
        }
        db.exec("DELETE FROM throttle_windows WHERE ends_at <= $1 AND key <> $2", {number(nowMs), key});
        auto rows = db.exec("INSERT INTO throttle_windows (key, count, ends_at) VALUES ($1, $2, $3) "
                            "ON CONFLICT (key) DO UPDATE SET "
                            "count = CASE WHEN throttle_windows.ends_at <= $4 THEN EXCLUDED.count "
                            "ELSE throttle_windows.count + EXCLUDED.count END, "
                            "ends_at = CASE WHEN throttle_windows.ends_at <= $4 THEN EXCLUDED.ends_at "
                            "ELSE throttle_windows.ends_at END RETURNING count, ends_at",
            {key, number(amount), number(nowMs + windowMs), number(nowMs)});
        return Window{rows.integer(0, 0), rows.integer(0, 1)};
    });
}

void PgCounters::clear(const std::string& key)
{
    pool_.run([&](PgConnection& db) { db.exec("DELETE FROM throttle_windows WHERE key = $1", {key}); });
}

}
