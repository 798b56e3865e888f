#pragma once

#include <QDateTime>
#include <QLocale>
#include <QObject>

#include <optional>

namespace tender {

namespace PauseLengthNamespace {
Q_NAMESPACE
// Stored and passed as a small integer.
enum class PauseLength { Hour = 0, Morning = 1, Indefinite = 2 };
Q_ENUM_NS(PauseLength)
} // namespace PauseLengthNamespace
using PauseLengthNamespace::PauseLength;

namespace Pause {

// The end of "until lifted".
QDateTime distantFuture();
// When a pause of `length` started at `now` ends; "until the morning" is the next 08:00 local time.
QDateTime end(PauseLength length, const QDateTime &now);
bool isPaused(const std::optional<QDateTime> &until, const QDateTime &now);
// The status line: "" when not paused, else "Пауза до 08:00", "Пауза до завтра, 08:00"
// or "Пауза, пока не снимешь", in the locale's short time format.
QString text(const std::optional<QDateTime> &until, const QDateTime &now, const QLocale &locale = QLocale());

} // namespace Pause
} // namespace tender
