#pragma once

#include <QColor>

#include <cmath>

namespace tender::test {

// The contrast ratio of two colours as WCAG defines it: 1 for equal ones, 21
// for black on white; 3 is the least for a control to be seen against its ground.
inline qreal contrast(const QColor &a, const QColor &b)
{
    const auto luminance = [](const QColor &c) {
        const auto linear = [](qreal v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
    };
    const qreal ratio = (luminance(a) + 0.05) / (luminance(b) + 0.05);
    return ratio < 1 ? 1 / ratio : ratio;
}

} // namespace tender::test
