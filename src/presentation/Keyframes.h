#pragma once

#include "presentation/TimingCurve.h"

#include <vector>

namespace tender {

// One leg of a key-frame animation, in seconds from the animation's start.
struct KeyframeStep {
    double from;
    double to;
    double start;
    double duration;
    TimingCurve easing;
};

using KeyframeSteps = std::vector<KeyframeStep>;

// values[i] at keyTimes[i] (fractions of `duration`), each leg eased by `legEasing`.
KeyframeSteps keyframesEachEased(const std::vector<double> &values, const std::vector<double> &keyTimes,
                                 double duration, TimingCurve legEasing);

// Linear key frames inside a group whose whole timeline is warped by `groupEasing`;
// each leg gets the matching piece of that curve, so the result is exact.
KeyframeSteps keyframesInGroup(const std::vector<double> &values, const std::vector<double> &keyTimes,
                               double duration, TimingCurve groupEasing);

} // namespace tender
