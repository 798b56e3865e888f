#pragma once

#include "service/Session.h"

namespace tender::SessionFile {

// $XDG_DATA_HOME/Tender/session.json (the directory is created, 0700).
QString defaultPath();

// Absent for a missing, unreadable or malformed file.
std::optional<Session> read(const QString &path);

// Whole and atomic, owner-only (0600): a failed write leaves the old file in place.
bool write(const QString &path, const Session &session);

} // namespace tender::SessionFile
