#include "platform/DesktopPresenting.h"

#include "platform/PresentingRules.h"
#include "platform/X11DesktopReader.h"

#include <QGuiApplication>
#include <QScreen>
#include <QtGui/qguiapplication_platform.h>

namespace tender {

DesktopPresenting::DesktopPresenting()
{
    if (auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr)
        x11_ = std::make_unique<X11DesktopReader>(x11->connection());
}

DesktopPresenting::~DesktopPresenting() = default;

bool DesktopPresenting::mirrored() const
{
    QList<QRect> screens;
    for (const QScreen *screen : QGuiApplication::screens())
        screens << screen->geometry();
    return PresentingRules::mirrored(screens);
}

bool DesktopPresenting::frontAppFullScreen() const
{
    if (!x11_ || !x11_->isReady())
        return false;
    DesktopState desktop;
    desktop.frontPid = x11_->frontPid();
    desktop.ownPid = QCoreApplication::applicationPid();
    desktop.windows = x11_->windows();
    // X11 measures windows in device pixels.
    for (const QScreen *screen : QGuiApplication::screens())
        desktop.screenSizes << QSizeF(screen->geometry().size()) * screen->devicePixelRatio();
    return PresentingRules::frontAppFullScreen(desktop);
}

} // namespace tender
