#pragma once

#include "presentation/OverlayWindow.h"

#include <QQuickItem>

namespace tender::test {

// What an overlay window's scene holds right now.
inline int itemsNamed(const OverlayWindow &window, const QString &name)
{
    int count = 0;
    if (const QQuickItem *root = window.rootObject())
        for (const QQuickItem *item : root->childItems())
            count += item->objectName() == name;
    return count;
}

inline int glows(const OverlayWindow &window) { return itemsNamed(window, QStringLiteral("glow")); }
inline int emoji(const OverlayWindow &window) { return itemsNamed(window, QStringLiteral("emoji")); }

} // namespace tender::test
