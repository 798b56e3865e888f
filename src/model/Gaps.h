#pragma once

#include <QString>

#include <array>

// The choices of the minimum gap between two shown signals.
namespace tender::Gaps {

inline constexpr std::array<double, 8> seconds{1, 5, 15, 30, 60, 300, 900, 3600};

// The nearest choice; ties go to the smaller one, NaN to the first.
int gapIndex(double value);
// "1 с", "5 мин", "1 ч": whole units, truncated.
QString gapTitle(double value);

} // namespace tender::Gaps
