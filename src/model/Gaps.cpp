#include "model/Gaps.h"

#include <algorithm>
#include <cmath>

namespace tender::Gaps {

int gapIndex(double value)
{
    size_t best = 0;
    for (size_t i = 1; i < seconds.size(); ++i)
        if (std::fabs(seconds[best] - value) > std::fabs(seconds[i] - value))
            best = i;
    return int(best);
}

QString gapTitle(double value)
{
    // Far beyond any choice the count saturates instead of overflowing.
    auto whole = [](double units) { return QString::number(qint64(std::clamp(units, -1e15, 1e15))); };
    if (value < 60)
        return whole(value) + QStringLiteral(" с");
    if (value < 3600)
        return whole(value / 60) + QStringLiteral(" мин");
    return whole(value / 3600) + QStringLiteral(" ч");
}

} // namespace tender::Gaps
