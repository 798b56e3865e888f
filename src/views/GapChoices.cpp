#include "views/GapChoices.h"

#include "model/Gaps.h"

#include <algorithm>

namespace tender::views {

int GapChoices::count() const
{
    return int(Gaps::seconds.size());
}

double GapChoices::seconds(int index) const
{
    return Gaps::seconds[size_t(std::clamp(index, 0, count() - 1))];
}

int GapChoices::index(double seconds) const
{
    return Gaps::gapIndex(seconds);
}

QString GapChoices::title(double seconds) const
{
    return Gaps::gapTitle(seconds);
}

} // namespace tender::views
