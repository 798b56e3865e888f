#pragma once
#include "postgres/PgPool.h"
#include <optional>
#include <string>
#include <vector>

namespace tender::server {

// Who accepts strangers' hearts now, over every node: each node writes the users whose open
// streams it holds and beats every few seconds; a node that stops beating drops out of the picks.
class PgPresence {
public:
    static constexpr std::int64_t beatMs = 5000;
    static constexpr std::int64_t staleMs = 15000;

    PgPresence(PgPool& pool, std::string node);

    struct Change {
        std::string uid;
        bool present;
    };
    void apply(const std::vector<Change>& changes);
    // Writes the node's beat; false when its row was missing (a first beat, or the database lost
    // what it held), so the caller writes its whole list again with `replace`.
    bool beat(std::int64_t nowMs);
    void replace(const std::vector<std::string>& uids);
    // One user picked uniformly among those online on live nodes, never `sender`.
    std::optional<std::string> pickOtherThan(const std::string& sender, std::int64_t nowMs);
    // The node stops: its users leave the picks at once.
    void leave();

private:
    PgPool& pool_;
    std::string node_;
};

}
