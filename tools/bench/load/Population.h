#pragma once
#include <filesystem>
#include <string>
#include <vector>

namespace tender::bench {

struct Listed {
    std::string contactId;
    unsigned target; // index of the listed user
};

// Users written straight into a fresh data directory, with identity tokens signed by its key.
// Each user lists the `contacts` nearest others on a ring, so every entry is mutual.
struct Population {
    std::vector<std::string> tokens;
    std::vector<std::vector<Listed>> lists;

    static Population prepare(const std::filesystem::path& dataDir, unsigned users, unsigned contacts);
    // The same in a PostgreSQL database, with tokens signed by the key the nodes share there.
    static Population prepareInPostgres(const std::string& url, unsigned users, unsigned contacts);
    // The same lists without a database or tokens, for a server that knows no users.
    static Population listsOnly(unsigned users, unsigned contacts);
};

}
