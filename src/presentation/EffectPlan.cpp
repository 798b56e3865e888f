#include "presentation/EffectPlan.h"

#include <algorithm>

namespace tender {

double EffectPlan::latest() const
{
    double latest = 0;
    for (const EmojiFlight &flight : flights)
        latest = std::max(latest, flight.finish());
    return latest;
}

double EffectPlan::length() const
{
    return std::max(GlowPlan::duration, latest());
}

EffectPlan EffectPlan::make(QSizeF area, QColor color, const QStringList &glyphs, int count, bool calm,
                            RandomSource &random)
{
    EffectPlan plan{GlowPlan::make(color, calm), {}};
    if (calm || glyphs.isEmpty() || count <= 0)
        return plan;
    plan.flights.reserve(size_t(count));
    for (int i = 0; i < count; ++i)
        plan.flights.push_back(EmojiFlight::random(area, glyphs, random));
    return plan;
}

} // namespace tender
