#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace tender::PopoverPlacement {

// Where the popover's top-left corner goes: centred under the tray icon (over
// it when the panel is at the bottom), at the pointer when the tray does not
// say where its icon is, and always inside the screen's available area.
QPoint place(const QRect &icon, const QPoint &pointer, const QSize &size, const QRect &available);

} // namespace tender::PopoverPlacement
