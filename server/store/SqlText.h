#pragma once
#include <sstream>
#include <string>
#include <vector>

namespace tender::server {

inline std::string select(const char* columns, const char* rest)
{
    return std::string("SELECT ") + columns + " " + rest;
}

// The columns each store reads, in the order its readers expect.
inline constexpr const char* userColumns = "uid, email, invite_code, password_hash, created_at, session_epoch";
inline constexpr const char* contactColumns = "id, owner, target, label, close, position";
inline constexpr const char* deviceColumns = "id, owner, name, kind, capabilities, last_seen_at";

// A device's capabilities are kept in one column, comma-separated.
inline std::string joinCapabilities(const std::vector<std::string>& capabilities)
{
    std::string joined;
    for (const auto& c : capabilities)
        joined += (joined.empty() ? "" : ",") + c;
    return joined;
}

inline std::vector<std::string> splitCapabilities(const std::string& joined)
{
    std::vector<std::string> capabilities;
    std::stringstream in(joined);
    for (std::string c; std::getline(in, c, ',');)
        capabilities.push_back(c);
    return capabilities;
}

}
