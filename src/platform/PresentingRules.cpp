#include "platform/PresentingRules.h"

namespace tender::PresentingRules {

namespace {

bool coversAScreen(const QRectF &bounds, const QList<QSizeF> &screenSizes)
{
    return std::any_of(screenSizes.cbegin(), screenSizes.cend(), [&](const QSizeF &screen) {
        return bounds.width() == screen.width() && bounds.height() == screen.height();
    });
}

} // namespace

bool mirrored(const QList<QRect> &screens)
{
    for (qsizetype i = 0; i < screens.size(); ++i)
        for (qsizetype j = i + 1; j < screens.size(); ++j)
            if (screens[i] == screens[j])
                return true;
    return false;
}

bool frontAppFullScreen(const DesktopState &desktop)
{
    if (!desktop.frontPid || *desktop.frontPid == desktop.ownPid)
        return false;
    const auto front = qint32(*desktop.frontPid);
    return std::any_of(desktop.windows.cbegin(), desktop.windows.cend(), [&](const DesktopWindow &window) {
        return window.pid && qint32(*window.pid) == front
            && window.layer && *window.layer >= 0
            && window.bounds && window.bounds->isValid()
            && coversAScreen(*window.bounds, desktop.screenSizes);
    });
}

} // namespace tender::PresentingRules
