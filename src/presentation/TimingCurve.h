#pragma once

#include <QList>

namespace tender {

// A cubic Bézier timing function from (0, 0) to (1, 1), as used by CSS and
// Core Animation: x is the time fraction, y the progress.
class TimingCurve {
public:
    constexpr TimingCurve(double x1, double y1, double x2, double y2) : x1_(x1), y1_(y1), x2_(x2), y2_(y2) {}

    static constexpr TimingCurve linear() { return {0.0, 0.0, 1.0, 1.0}; }
    static constexpr TimingCurve easeInEaseOut() { return {0.42, 0.0, 0.58, 1.0}; }

    double progressAt(double time) const;
    double timeOf(double progress) const;

    // The part of this curve between two progress values, rescaled to the unit
    // square: running it from one value to the next reproduces this curve exactly.
    TimingCurve between(double fromProgress, double toProgress) const;

    // Qt's Easing.BezierSpline form: c1, c2, end point.
    QList<qreal> spline() const { return {x1_, y1_, x2_, y2_, 1.0, 1.0}; }

    double x1() const { return x1_; }
    double y1() const { return y1_; }
    double x2() const { return x2_; }
    double y2() const { return y2_; }

private:
    double x1_, y1_, x2_, y2_;
};

} // namespace tender
