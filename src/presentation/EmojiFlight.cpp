#include "presentation/EmojiFlight.h"

#include "presentation/RandomSource.h"

#include <cmath>
#include <numbers>

namespace tender {

namespace {

struct Draw {
    double size, duration, delay, x, rise, drift, sway;
};

// The order of the draws is part of the behaviour: a fixed source gives a fixed shower.
Draw drawShape(double width, RandomSource &random)
{
    Draw d{};
    d.size = random.uniform(24, 46);
    d.duration = random.uniform(3.0, 4.6);
    d.delay = random.uniform(0, 1.3);
    d.x = random.uniform(0.04 * width, 0.92 * width);
    d.rise = random.uniform(0.45, 0.9);
    d.drift = random.uniform(-60, 60);
    d.sway = random.uniform(14, 30);
    if (random.coin())
        d.sway = -d.sway;
    return d;
}

} // namespace

EmojiFlight EmojiFlight::random(QSizeF area, const QStringList &glyphs, RandomSource &random)
{
    const Draw d = drawShape(area.width(), random);
    EmojiFlight f;
    f.glyph = glyphs.at(random.pick(glyphs.size()));
    f.size = d.size;
    f.duration = d.duration;
    f.delay = d.delay;

    // Laid out with y upwards from the bottom edge, then flipped onto the screen.
    const double bottom = area.height();
    const double climb = d.rise * bottom;
    const auto onScreen = [bottom](double x, double up) { return QPointF(x, bottom - up); };
    f.start = onScreen(d.x, -d.size);
    f.control1 = onScreen(d.x + d.sway, 0.35 * climb);
    f.control2 = onScreen(d.x + d.drift - d.sway, 0.7 * climb);
    f.end = onScreen(d.x + d.drift, climb);

    f.tilt = random.uniform(0.1, 0.28);
    // Counter-clockwise in a y-up space is anticlockwise on screen, i.e. negative degrees here.
    const double degrees = -f.tilt * 180.0 / std::numbers::pi;
    f.opacity = keyframesInGroup({0, 1, 1, 0}, {0, 0.1, 0.8, 1}, f.duration, groupEasing);
    f.scale = keyframesInGroup({0.6, 1}, {0, 1}, f.duration, groupEasing);
    f.rotation = keyframesInGroup({0, degrees, -degrees, 0}, {0, 0.35, 0.65, 1}, f.duration, groupEasing);
    return f;
}

} // namespace tender
