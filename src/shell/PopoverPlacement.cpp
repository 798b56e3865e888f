#include "shell/PopoverPlacement.h"

#include <algorithm>

namespace tender::PopoverPlacement {

namespace {

constexpr int gap = 4;

} // namespace

QPoint place(const QRect &icon, const QPoint &pointer, const QSize &size, const QRect &available)
{
    const QRect anchor = icon.isEmpty() ? QRect(pointer, QSize(1, 1)) : icon;
    const bool panelAtBottom = anchor.center().y() > available.center().y();
    const int x = anchor.center().x() - size.width() / 2;
    const int y = panelAtBottom ? anchor.top() - gap - size.height() : anchor.bottom() + 1 + gap;
    const int maxX = std::max(available.left(), available.right() + 1 - size.width());
    const int maxY = std::max(available.top(), available.bottom() + 1 - size.height());
    return QPoint(std::clamp(x, available.left(), maxX), std::clamp(y, available.top(), maxY));
}

} // namespace tender::PopoverPlacement
