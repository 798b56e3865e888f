#include "presentation/GlowPlan.h"

#include <cmath>

namespace tender {

GlowPlan GlowPlan::make(QColor color, bool calm)
{
    static const std::vector<double> blinkValues{0, 1, 0.25, 1, 0.25, 1, 0};
    static const std::vector<double> blinkTimes{0, 0.12, 0.28, 0.45, 0.61, 0.78, 1};
    static const std::vector<double> calmValues{0, 0.7, 0.7, 0};
    static const std::vector<double> calmTimes{0, 0.3, 0.7, 1};
    return {color, calm,
            calm ? keyframesEachEased(calmValues, calmTimes, duration, TimingCurve::easeInEaseOut())
                 : keyframesEachEased(blinkValues, blinkTimes, duration, TimingCurve::easeInEaseOut())};
}

double GlowPlan::bandWidth()
{
    // 3σ leaves 0.9 × 0.13 % of the light, under half a level of 8-bit alpha.
    return std::ceil(inset + 3.0 * blurSigma());
}

} // namespace tender
