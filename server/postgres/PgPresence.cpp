#include "postgres/PgPresence.h"

namespace tender::server {

PgPresence::PgPresence(PgPool& pool, std::string node)
    : pool_(pool)
    , node_(std::move(node))
{
}

void PgPresence::apply(const std::vector<Change>& changes)
{
    pool_.run([&](PgConnection& db) {
        inTransaction(db, [&] {
            for (const auto& change : changes)
                db.exec(change.present ? "INSERT INTO presence (node, uid) VALUES ($1, $2) ON CONFLICT DO NOTHING"
                                       : "DELETE FROM presence WHERE node = $1 AND uid = $2",
                    {node_, change.uid});
        });
    });
}

bool PgPresence::beat(std::int64_t nowMs)
{
    return pool_.run([&](PgConnection& db) {
        bool known = db.exec("UPDATE nodes SET seen_at = $2 WHERE id = $1", {node_, number(nowMs)}).affected() == 1;
        if (!known)
            db.exec("INSERT INTO nodes (id, seen_at) VALUES ($1, $2)", {node_, number(nowMs)});
        db.exec("DELETE FROM presence WHERE node IN (SELECT id FROM nodes WHERE seen_at <= $1)", {number(nowMs - staleMs)});
        db.exec("DELETE FROM nodes WHERE seen_at <= $1", {number(nowMs - staleMs)});
        return known;
    });
}

void PgPresence::replace(const std::vector<std::string>& uids)
{
    pool_.run([&](PgConnection& db) {
        inTransaction(db, [&] {
            db.exec("DELETE FROM presence WHERE node = $1", {node_});
            for (const auto& uid : uids)
                db.exec("INSERT INTO presence (node, uid) VALUES ($1, $2)", {node_, uid});
        });
    });
}

std::optional<std::string> PgPresence::pickOtherThan(const std::string& sender, std::int64_t nowMs)
{
    return pool_.run([&](PgConnection& db) -> std::optional<std::string> {
        auto rows = db.exec("WITH online AS (SELECT DISTINCT p.uid FROM presence p JOIN nodes n ON n.id = p.node "
                            "WHERE n.seen_at > $2 AND p.uid <> $1) "
                            "SELECT uid FROM online OFFSET (SELECT floor(random() * count(*))::BIGINT FROM online) LIMIT 1",
            {sender, number(nowMs - staleMs)});
        if (rows.empty())
            return std::nullopt;
        return rows.text(0, 0);
    });
}

void PgPresence::leave()
{
    pool_.run([&](PgConnection& db) {
        db.exec("DELETE FROM presence WHERE node = $1", {node_});
        db.exec("DELETE FROM nodes WHERE id = $1", {node_});
    });
}

}
