#pragma once

class QWindow;

namespace tender {

// Keeps an overlay window out of screen captures where the desktop allows it;
// Linux has no such exclusion.
void excludeFromCapture(QWindow &window);

} // namespace tender
