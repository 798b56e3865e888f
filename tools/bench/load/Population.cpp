#include "load/Population.h"
#include "common/Time.h"
#include "crypto/SecretFile.h"
#include "identity/IdTokens.h"
#include "postgres/PgSigningKey.h"
#include "postgres/PgStore.h"
#include "store/SqliteStore.h"
#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>
#include <cstdio>

namespace tender::bench {
namespace {

std::string numbered(const char* prefix, unsigned n)
{
    char text[32];
    std::snprintf(text, sizeof text, "%s%07u", prefix, n);
    return text;
}

std::vector<std::vector<Listed>> ringLists(unsigned users, unsigned contacts)
{
    std::vector<std::vector<Listed>> lists(users);
    for (unsigned u = 0; u < users; ++u)
        for (unsigned d = 1; d <= contacts / 2; ++d) {
            lists[u].push_back({numbered("cr", u) + "-" + std::to_string(d), (u + d) % users});
            lists[u].push_back({numbered("cl", u) + "-" + std::to_string(d), (u + users - d) % users});
        }
    return lists;
}

void writeRows(const std::filesystem::path& file, const std::vector<std::vector<Listed>>& lists)
{
    server::SqliteStore{file}; // creates the schema
    SQLite::Database db(file.string(), SQLite::OPEN_READWRITE);
    db.exec("PRAGMA synchronous = OFF");
    SQLite::Transaction transaction(db);
    SQLite::Statement user(db, "INSERT INTO users (uid, email, invite_code, created_at) VALUES (?, ?, ?, ?)");
    SQLite::Statement contact(db,
        "INSERT INTO contacts (id, owner, target, label, position) VALUES (?, ?, ?, ?, ?)");
    auto now = server::nowMs();
    for (unsigned u = 0; u < lists.size(); ++u) {
        user.bind(1, numbered("u", u));
        user.bind(2, numbered("u", u) + "@bench.test");
        user.bind(3, numbered("B", u));
        user.bind(4, static_cast<std::int64_t>(now));
        user.exec();
        user.reset();
    }
    for (unsigned u = 0; u < lists.size(); ++u)
        for (unsigned p = 0; p < lists[u].size(); ++p) {
            contact.bind(1, lists[u][p].contactId);
            contact.bind(2, numbered("u", u));
            contact.bind(3, numbered("u", lists[u][p].target));
            contact.bind(4, "friend " + std::to_string(lists[u][p].target));
            contact.bind(5, static_cast<std::int64_t>(p));
            contact.exec();
            contact.reset();
        }
    transaction.commit();
}

// Rows go in batches of literal VALUES: ids and labels here are plain ASCII without quotes.
void writeRows(server::PgConnection& db, const std::vector<std::vector<Listed>>& lists)
{
    constexpr unsigned batch = 2000;
    auto now = std::to_string(server::nowMs());
    auto flush = [&](std::string& sql, const char* head) {
        if (sql.empty())
            return;
        sql.pop_back();
        db.exec(head + sql);
        sql.clear();
    };
    std::string rows;
    for (unsigned u = 0; u < lists.size(); ++u) {
        rows += "('" + numbered("u", u) + "','" + numbered("u", u) + "@bench.test','" + numbered("B", u) + "'," + now + "),";
        if ((u + 1) % batch == 0)
            flush(rows, "INSERT INTO users (uid, email, invite_code, created_at) VALUES ");
    }
    flush(rows, "INSERT INTO users (uid, email, invite_code, created_at) VALUES ");
    unsigned count = 0;
    for (unsigned u = 0; u < lists.size(); ++u)
        for (unsigned p = 0; p < lists[u].size(); ++p) {
            rows += "('" + lists[u][p].contactId + "','" + numbered("u", u) + "','" + numbered("u", lists[u][p].target)
                + "','friend " + std::to_string(lists[u][p].target) + "'," + std::to_string(p) + "),";
            if (++count % batch == 0)
                flush(rows, "INSERT INTO contacts (id, owner, target, label, position) VALUES ");
        }
    flush(rows, "INSERT INTO contacts (id, owner, target, label, position) VALUES ");
}

std::vector<std::string> tokensFor(const server::IdTokens& tokens, unsigned users)
{
    std::vector<std::string> issued;
    auto nowSeconds = server::nowMs() / 1000;
    for (unsigned u = 0; u < users; ++u)
        issued.push_back(tokens.issue(numbered("u", u), numbered("u", u) + "@bench.test", nowSeconds));
    return issued;
}

}

Population Population::prepareInPostgres(const std::string& url, unsigned users, unsigned contacts)
{
    Population population;
    population.lists = ringLists(users, contacts);
    server::PgPool pool(url, 1);
    server::PgStore store(pool); // brings the schema
    pool.run([&](server::PgConnection& db) { server::inTransaction(db, [&] { writeRows(db, population.lists); }); });
    population.tokens = tokensFor(server::IdTokens(server::sharedSigningKey(pool)), users);
    return population;
}

Population Population::prepare(const std::filesystem::path& dataDir, unsigned users, unsigned contacts)
{
    std::filesystem::create_directories(dataDir);
    std::filesystem::permissions(dataDir, std::filesystem::perms::owner_all);
    Population population;
    population.lists = ringLists(users, contacts);
    writeRows(dataDir / "tender.db", population.lists);
    population.tokens = tokensFor(server::IdTokens(server::loadOrCreateSecret(dataDir / "signing.key")), users);
    return population;
}

Population Population::listsOnly(unsigned users, unsigned contacts)
{
    Population population;
    population.lists = ringLists(users, contacts);
    return population;
}

}
