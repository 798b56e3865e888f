#pragma once

#include "presentation/EmojiFlight.h"
#include "presentation/GlowPlan.h"

#include <vector>

namespace tender {

// Everything one screen shows for one signal, decided before anything is drawn.
struct EffectPlan {
    GlowPlan glow;
    std::vector<EmojiFlight> flights;

    // Seconds until the last emoji has landed; 0 without emoji.
    double latest() const;
    // Seconds until the whole effect is over on this screen.
    double length() const;

    static EffectPlan make(QSizeF area, QColor color, const QStringList &glyphs, int count, bool calm,
                           RandomSource &random);
};

} // namespace tender
