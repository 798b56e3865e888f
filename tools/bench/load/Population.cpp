#include "load/Population.h"
#include "common/Time.h"
#include "crypto/SecretFile.h"
#include "identity/IdTokens.h"
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

}

Population Population::prepare(const std::filesystem::path& dataDir, unsigned users, unsigned contacts)
{
    std::filesystem::create_directories(dataDir);
    std::filesystem::permissions(dataDir, std::filesystem::perms::owner_all);
    Population population;
    population.lists = ringLists(users, contacts);
    writeRows(dataDir / "tender.db", population.lists);
    server::IdTokens tokens(server::loadOrCreateSecret(dataDir / "signing.key"));
    auto nowSeconds = server::nowMs() / 1000;
    for (unsigned u = 0; u < users; ++u)
        population.tokens.push_back(tokens.issue(numbered("u", u), numbered("u", u) + "@bench.test", nowSeconds));
    return population;
}

Population Population::listsOnly(unsigned users, unsigned contacts)
{
    Population population;
    population.lists = ringLists(users, contacts);
    return population;
}

}
