#pragma once

#include <QList>
#include <QRect>
#include <QRectF>
#include <QSizeF>

#include <optional>

namespace tender {

// One on-screen window as the window system describes it. Any part may be
// missing or malformed; such a window never counts.
struct DesktopWindow {
    std::optional<qint64> pid;
    std::optional<int> layer; // negative: desktop elements below ordinary windows
    std::optional<QRectF> bounds;
};

struct DesktopState {
    std::optional<qint64> frontPid;
    qint64 ownPid = 0;
    QList<DesktopWindow> windows;
    QList<QSizeF> screenSizes;
};

namespace PresentingRules {

// Two screens with the same geometry show the same picture.
bool mirrored(const QList<QRect> &screens);

// The frontmost application, when it is not this one, has a window of the
// exact size of some screen, wherever it sits.
bool frontAppFullScreen(const DesktopState &desktop);

} // namespace PresentingRules

} // namespace tender
