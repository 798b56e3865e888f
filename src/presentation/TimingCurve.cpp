#include "presentation/TimingCurve.h"

#include <QPointF>

#include <cmath>

namespace tender {

namespace {

double bezier(double p, double c1, double c2)
{
    const double q = 1.0 - p;
    return 3.0 * q * q * p * c1 + 3.0 * q * p * p * c2 + p * p * p;
}

// Both coordinates rise monotonically for control points inside the unit
// square, so bisection always finds the one parameter.
double parameterFor(double target, double c1, double c2)
{
    double low = 0.0, high = 1.0;
    for (int i = 0; i < 60; ++i) {
        const double mid = (low + high) / 2.0;
        (bezier(mid, c1, c2) < target ? low : high) = mid;
    }
    return (low + high) / 2.0;
}

QPointF lerp(QPointF a, QPointF b, double t) { return a + (b - a) * t; }

// The blossom of the curve: f(p, p, p) is the point at p, and the points
// f(a,a,a), f(a,a,b), f(a,b,b), f(b,b,b) control the piece from a to b.
QPointF blossom(const QPointF (&points)[4], double a, double b, double c)
{
    const QPointF one[3] = {lerp(points[0], points[1], a), lerp(points[1], points[2], a), lerp(points[2], points[3], a)};
    const QPointF two[2] = {lerp(one[0], one[1], b), lerp(one[1], one[2], b)};
    return lerp(two[0], two[1], c);
}

} // namespace

double TimingCurve::progressAt(double time) const
{
    if (time <= 0.0)
        return 0.0;
    if (time >= 1.0)
        return 1.0;
    return bezier(parameterFor(time, x1_, x2_), y1_, y2_);
}

double TimingCurve::timeOf(double progress) const
{
    if (progress <= 0.0)
        return 0.0;
    if (progress >= 1.0)
        return 1.0;
    return bezier(parameterFor(progress, y1_, y2_), x1_, x2_);
}

TimingCurve TimingCurve::between(double fromProgress, double toProgress) const
{
    const QPointF points[4] = {{0, 0}, {x1_, y1_}, {x2_, y2_}, {1, 1}};
    const double a = fromProgress <= 0.0 ? 0.0 : fromProgress >= 1.0 ? 1.0 : parameterFor(fromProgress, y1_, y2_);
    const double b = toProgress <= 0.0 ? 0.0 : toProgress >= 1.0 ? 1.0 : parameterFor(toProgress, y1_, y2_);
    const QPointF start = blossom(points, a, a, a);
    const QPointF end = blossom(points, b, b, b);
    const QPointF span = end - start;
    if (span.x() <= 0.0 || span.y() == 0.0)
        return linear();
    const auto unit = [&](QPointF p) { return QPointF((p.x() - start.x()) / span.x(), (p.y() - start.y()) / span.y()); };
    const QPointF c1 = unit(blossom(points, a, a, b));
    const QPointF c2 = unit(blossom(points, a, b, b));
    return {c1.x(), c1.y(), c2.x(), c2.y()};
}

} // namespace tender
