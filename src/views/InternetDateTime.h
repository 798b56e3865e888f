#pragma once

#include <QDateTime>
#include <QString>

namespace tender::views {

// An RFC 3339 date-time ("2026-03-02T11:55:00Z", "2026-03-02T14:55:00.250+03:00"),
// with or without fractional seconds; an invalid QDateTime for anything else,
// a date or a time alone included.
QDateTime parseInternetDateTime(const QString &text);

} // namespace tender::views
