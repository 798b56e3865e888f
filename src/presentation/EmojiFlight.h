#pragma once

#include "presentation/Keyframes.h"

#include <QPointF>
#include <QSizeF>
#include <QString>
#include <QStringList>

namespace tender {

class RandomSource;

// One emoji rising from under the bottom edge along an S-shaped path.
// Coordinates are the screen's, y growing downwards.
struct EmojiFlight {
    static constexpr TimingCurve groupEasing{0.22, 0.7, 0.3, 1.0};

    QString glyph;
    double size = 0;      // font size
    double duration = 0;  // seconds of flight
    double delay = 0;     // seconds before it starts
    double tilt = 0;      // radians each way
    QPointF start, control1, control2, end;
    KeyframeSteps opacity;
    KeyframeSteps scale;
    KeyframeSteps rotation; // degrees, clockwise on screen

    double box() const { return 1.4 * size; }
    double finish() const { return delay + duration; }

    static EmojiFlight random(QSizeF area, const QStringList &glyphs, RandomSource &random);
};

} // namespace tender
