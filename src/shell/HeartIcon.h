#pragma once

#include <QColor>
#include <QIcon>

class QPainter;

namespace tender::HeartIcon {

// The heart colour: mid-dark, it stands out on light and dark panels alike.
inline const QColor heartColor(0xE0, 0x59, 0x6B);

// The tray's heart in a circle: filled, or outlined and slashed while paused,
// in one colour so a tinted version comes from the same shape.
QImage render(bool paused, const QColor &color, int size);
QIcon icon(bool paused, const QColor &color);

// The program's own icon for desktops and menus: the same heart, white on a
// circle in the heart colour, drawn into a size x size square.
void paintAppIcon(QPainter &painter, qreal size);
QImage appIcon(int size);

} // namespace tender::HeartIcon
