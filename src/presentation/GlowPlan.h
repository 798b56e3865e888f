#pragma once

#include "presentation/Keyframes.h"

#include <QColor>

namespace tender {

// The pulsing frame of light along a screen's edges.
struct GlowPlan {
    static constexpr double duration = 2.6;
    static constexpr double inset = 12.0;       // the lit frame ends this far inside the edge
    static constexpr double blurRadius = 22.0;
    static constexpr double intensity = 0.9;
    // Without a compositor a window's faint pixels show dark, not see-through:
    // only light at least this strong is kept there.
    static constexpr double visibleAlpha = 0.4;

    QColor color;
    bool calm = false;
    KeyframeSteps opacity;

    static GlowPlan make(QColor color, bool calm);

    // Gaussian deviation of the blur; a shadow radius spans two of them.
    static constexpr double blurSigma() { return blurRadius / 2.0; }
    // How far in from the edge any light reaches (below one level of 8-bit alpha).
    static double bandWidth();
};

} // namespace tender
