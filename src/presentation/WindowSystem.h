#pragma once

class QWindow;

namespace tender {

// What the desktop allows an overlay window. Linux has no capture exclusion;
// on X11 transparency needs a running compositor.
void excludeFromCapture(QWindow &window);
bool transparentWindowsShow();

} // namespace tender
