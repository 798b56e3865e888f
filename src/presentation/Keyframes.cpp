#include "presentation/Keyframes.h"

#include <QtGlobal>

namespace tender {

KeyframeSteps keyframesEachEased(const std::vector<double> &values, const std::vector<double> &keyTimes,
                                 double duration, TimingCurve legEasing)
{
    Q_ASSERT(values.size() == keyTimes.size() && values.size() >= 2);
    KeyframeSteps steps;
    for (size_t i = 0; i + 1 < values.size(); ++i)
        steps.push_back({values[i], values[i + 1], keyTimes[i] * duration,
                         (keyTimes[i + 1] - keyTimes[i]) * duration, legEasing});
    return steps;
}

KeyframeSteps keyframesInGroup(const std::vector<double> &values, const std::vector<double> &keyTimes,
                               double duration, TimingCurve groupEasing)
{
    Q_ASSERT(values.size() == keyTimes.size() && values.size() >= 2);
    KeyframeSteps steps;
    for (size_t i = 0; i + 1 < values.size(); ++i) {
        const double start = groupEasing.timeOf(keyTimes[i]);
        const double end = groupEasing.timeOf(keyTimes[i + 1]);
        steps.push_back({values[i], values[i + 1], start * duration, (end - start) * duration,
                         groupEasing.between(keyTimes[i], keyTimes[i + 1])});
    }
    return steps;
}

} // namespace tender
