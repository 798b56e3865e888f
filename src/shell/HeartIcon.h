#pragma once

#include <QColor>
#include <QIcon>

namespace tender::HeartIcon {

// The tray's heart in a circle: filled, or outlined and slashed while paused,
// in one colour so a tinted version comes from the same shape.
QImage render(bool paused, const QColor &color, int size);
QIcon icon(bool paused, const QColor &color);

} // namespace tender::HeartIcon
