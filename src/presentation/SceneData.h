#pragma once

#include "presentation/EffectPlan.h"

#include <QVariant>

namespace tender {

// The plans in the shape the overlay's QML reads: times in milliseconds,
// easings as Qt's Bézier spline lists, the glow as its four image strips.
QVariantMap glowSceneData(const GlowPlan &glow, QSize screen, qreal scale);
QVariantList flightsSceneData(const std::vector<EmojiFlight> &flights);

} // namespace tender
