#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tender::server {

struct User {
    std::string uid;
    std::string email;
    std::string inviteCode;
    std::optional<std::string> passwordHash; // absent for accounts made by the sign-in page
    std::int64_t createdAtMs = 0;
    std::int64_t sessionEpoch = 0; // moves on with every password reset; older identity tokens fail
};

struct Contact {
    std::string id;
    std::string owner;
    std::string target;
    std::string label;
    bool close = false;
    std::int64_t position = 0;
};

struct ContactPatch {
    std::optional<std::string> label;
    std::optional<bool> close;
    std::optional<std::int64_t> position;
};

struct Device {
    std::string id;
    std::string owner;
    std::string name;
    std::string kind;
    std::vector<std::string> capabilities;
    std::optional<std::int64_t> lastSeenMs;

    bool can(const std::string& capability) const;
};

struct RefreshGrant {
    std::string uid;
    bool revoked = false;
};

}
