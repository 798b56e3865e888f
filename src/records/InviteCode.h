#pragma once

#include <QString>

#include <optional>

namespace tender {

// The invite code in a pasted link or a tender://add/ URL, exactly as it was
// typed (case and dashes kept), or absent when the text holds none.
std::optional<QString> inviteID(const QString &text);

} // namespace tender
