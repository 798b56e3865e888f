#include "shell/HeartIcon.h"

#include <QPainter>
#include <QPainterPath>

namespace tender::HeartIcon {

namespace {

// A heart in the unit square around (0.5, 0.53).
QPainterPath heart(const QRectF &box)
{
    auto at = [&](qreal x, qreal y) { return QPointF(box.left() + x * box.width(), box.top() + y * box.height()); };
    QPainterPath path(at(0.5, 0.88));
    path.cubicTo(at(0.12, 0.62), at(0.0, 0.38), at(0.2, 0.2));
    path.cubicTo(at(0.34, 0.08), at(0.48, 0.16), at(0.5, 0.3));
    path.cubicTo(at(0.52, 0.16), at(0.66, 0.08), at(0.8, 0.2));
    path.cubicTo(at(1.0, 0.38), at(0.88, 0.62), at(0.5, 0.88));
    path.closeSubpath();
    return path;
}

QRectF circleIn(qreal s)
{
    return QRectF(s * 0.06, s * 0.06, s * 0.88, s * 0.88);
}

QRectF heartIn(qreal s)
{
    return QRectF(s * 0.27, s * 0.28, s * 0.46, s * 0.46);
}

} // namespace

QImage render(bool paused, const QColor &color, int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    const QRectF circle = circleIn(s);
    const QRectF inner = heartIn(s);
    if (!paused) {
        QPainterPath shape;
        shape.addEllipse(circle);
        painter.fillPath(shape.subtracted(heart(inner)), color);
        return image;
    }
    QPen pen(color, s * 0.08);
    pen.setCapStyle(Qt::RoundCap);
    painter.setPen(pen);
    painter.drawEllipse(circle.adjusted(s * 0.04, s * 0.04, -s * 0.04, -s * 0.04));
    painter.fillPath(heart(inner), color);
    // The slash, with a gap cut around it so it reads over the heart.
    painter.setCompositionMode(QPainter::CompositionMode_Clear);
    painter.setPen(QPen(Qt::transparent, s * 0.18, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(s * 0.26, s * 0.26), QPointF(s * 0.74, s * 0.74));
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.setPen(pen);
    painter.drawLine(QPointF(s * 0.26, s * 0.26), QPointF(s * 0.74, s * 0.74));
    return image;
}

QIcon icon(bool paused, const QColor &color)
{
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64})
        icon.addPixmap(QPixmap::fromImage(render(paused, color, size)));
    return icon;
}

void paintAppIcon(QPainter &painter, qreal size)
{
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath circle;
    circle.addEllipse(circleIn(size));
    painter.fillPath(circle, heartColor);
    painter.fillPath(heart(heartIn(size)), Qt::white);
}

QImage appIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    paintAppIcon(painter, size);
    return image;
}

} // namespace tender::HeartIcon
