#pragma once

#include <QtGlobal>

namespace tender {

// Where the effects get their randomness, so a test can fix it.
class RandomSource {
public:
    virtual ~RandomSource() = default;

    // A number in [0, 1].
    virtual double unit() = 0;

    double uniform(double low, double high) { return low + (high - low) * unit(); }
    bool coin() { return unit() < 0.5; }
    qsizetype pick(qsizetype count) { return qBound<qsizetype>(0, qsizetype(unit() * double(count)), count - 1); }
};

} // namespace tender
