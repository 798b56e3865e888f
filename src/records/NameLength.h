#pragma once

#include <QString>

namespace tender {

// A name the user gives a person or a device: 1 to 64 characters once trimmed.
// Characters are counted as the service counts them, in code points, so an
// emoji counts once although it takes two UTF-16 units.
namespace NameLength {

inline constexpr qsizetype longest = 64;

qsizetype characters(const QString &text);
bool fits(const QString &trimmed);

} // namespace NameLength

} // namespace tender
