#include "presentation/GlowImage.h"

#include "presentation/GlowPlan.h"

#include <cmath>

namespace tender {

namespace {

double normalCdf(double z) { return 0.5 * std::erfc(-z / std::sqrt(2.0)); }

// How much of the unlit middle [inset, length - inset] a Gaussian at `at` covers.
// The lit frame is everything else, so its blurred light is 1 minus the product
// of the two directions' coverage.
std::vector<double> coverage(int pixels, qreal scale, double length)
{
    const double sigma = GlowPlan::blurSigma();
    std::vector<double> values(size_t(std::max(pixels, 0)));
    for (int i = 0; i < pixels; ++i) {
        const double at = (i + 0.5) / scale;
        values[size_t(i)] = normalCdf((at - GlowPlan::inset) / sigma)
            - normalCdf((at - (length - GlowPlan::inset)) / sigma);
    }
    return values;
}

} // namespace

GlowImage::GlowImage(QSize screen, qreal scale, QColor color)
    : screen_(screen)
    , scale_(scale)
    , color_(color)
    , pixels_((QSizeF(screen) * scale).toSize())
    , bandPixels_(std::min({int(std::ceil(GlowPlan::bandWidth() * scale)), pixels_.width() / 2, pixels_.height() / 2}))
    , across_(coverage(pixels_.width(), scale, screen.width()))
    , down_(coverage(pixels_.height(), scale, screen.height()))
{
}

double GlowImage::alphaAt(int column, int row) const
{
    return GlowPlan::intensity * (1.0 - across_[size_t(column)] * down_[size_t(row)]);
}

QRectF GlowImage::placement(Edge edge) const
{
    const int b = bandPixels_, w = pixels_.width(), h = pixels_.height();
    QRect pixels;
    switch (edge) {
    case Edge::Top: pixels = QRect(0, 0, w, b); break;
    case Edge::Bottom: pixels = QRect(0, h - b, w, b); break;
    case Edge::Left: pixels = QRect(0, b, b, h - 2 * b); break;
    case Edge::Right: pixels = QRect(w - b, b, b, h - 2 * b); break;
    }
    return QRectF(QPointF(pixels.topLeft()) / scale_, QSizeF(pixels.size()) / scale_);
}

QImage GlowImage::strip(Edge edge) const
{
    const QRectF logical = placement(edge);
    const QRect pixels = QRectF(logical.topLeft() * scale_, logical.size() * scale_).toRect();
    QImage image(pixels.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    for (int y = 0; y < pixels.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < pixels.width(); ++x) {
            const int alpha = int(std::lround(255.0 * alphaAt(pixels.x() + x, pixels.y() + y)));
            line[x] = qPremultiply(qRgba(color_.red(), color_.green(), color_.blue(), alpha));
        }
    }
    image.setDevicePixelRatio(scale_);
    return image;
}

std::pair<int, int> GlowImage::visibleRun(int row) const
{
    // The light only fades from each edge inwards.
    const int width = pixels_.width();
    int left = 0, right = 0;
    while (left < width && alphaAt(left, row) >= GlowPlan::visibleAlpha)
        ++left;
    while (right < width - left && alphaAt(width - 1 - right, row) >= GlowPlan::visibleAlpha)
        ++right;
    return {left, right};
}

QRegion GlowImage::visible() const
{
    // Logical widths lit from the left and from the right, row by row; rows
    // alike are added as one band.
    const auto spans = [this](int y) {
        const int row = std::min(int((y + 0.5) * scale_), pixels_.height() - 1);
        const auto [left, right] = visibleRun(row);
        if (left + right >= pixels_.width())
            return std::pair(screen_.width(), 0);
        const int l = int(std::ceil(left / scale_));
        return std::pair(l, std::min(int(std::ceil(right / scale_)), screen_.width() - l));
    };
    QRegion region;
    if (screen_.isEmpty() || pixels_.isEmpty())
        return region;
    int top = 0;
    std::pair<int, int> band = spans(0);
    for (int y = 1; y <= screen_.height(); ++y) {
        const auto next = y < screen_.height() ? spans(y) : std::pair(-1, -1);
        if (next == band)
            continue;
        region += QRect(0, top, band.first, y - top);
        region += QRect(screen_.width() - band.second, top, band.second, y - top);
        top = y;
        band = next;
    }
    return region;
}

} // namespace tender
