#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace tender::server {

// Every user has one invite code: 10 symbols of an alphabet without look-alikes.
namespace inviteCode {

constexpr std::string_view alphabet = "23456789ABCDEFGHJKMNPQRSTVWXYZ";
constexpr std::size_t length = 10;

std::string generate();
// Reads a code the way the app does: from a bare code or a whole link, ignoring case and dashes.
std::optional<std::string> read(std::string_view text);
// ABCDE-FGHJK, as the invite link shows it.
std::string display(const std::string& code);

}

}
