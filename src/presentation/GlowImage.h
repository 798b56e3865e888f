#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <QRegion>
#include <QSize>

namespace tender {

// The glow drawn once per screen size, scale and colour: the blurred frame,
// cut into the four edge strips that hold all of its light (the middle is empty).
class GlowImage {
public:
    enum class Edge { Top, Bottom, Left, Right };

    GlowImage(QSize screen, qreal scale, QColor color);

    QImage strip(Edge edge) const;
    // Where a strip goes on the screen, in the screen's logical coordinates.
    QRectF placement(Edge edge) const;
    // Where the light is at least GlowPlan::visibleAlpha, in logical
    // coordinates: all a window that cannot be transparent may cover.
    QRegion visible() const;

private:
    double alphaAt(int column, int row) const;
    // Pixels of a row that are visible, counted in from the left and from the right edge.
    std::pair<int, int> visibleRun(int row) const;

    QSize screen_;
    qreal scale_;
    QColor color_;
    QSize pixels_;
    int bandPixels_;
    std::vector<double> across_;
    std::vector<double> down_;
};

} // namespace tender
