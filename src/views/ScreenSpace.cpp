#include "views/ScreenSpace.h"

#include <QGuiApplication>
#include <QScreen>

namespace tender::views {

ScreenSpace::ScreenSpace(QObject *parent)
    : QObject(parent)
{
    connect(qGuiApp, &QGuiApplication::primaryScreenChanged, this, &ScreenSpace::follow);
    follow();
}

qreal ScreenSpace::limitFor(const QScreen *screen)
{
    return screen ? screen->availableGeometry().height() - 80 : 720;
}

void ScreenSpace::setWindow(QQuickWindow *window)
{
    if (window == window_)
        return;
    disconnect(windowScreen_);
    window_ = window;
    if (window)
        windowScreen_ = connect(window, &QWindow::screenChanged, this, &ScreenSpace::follow);
    emit windowChanged();
    follow();
}

qreal ScreenSpace::heightLimit() const
{
    return limitFor(screen());
}

QScreen *ScreenSpace::screen() const
{
    if (window_ && window_->screen())
        return window_->screen();
    return QGuiApplication::primaryScreen();
}

void ScreenSpace::follow()
{
    disconnect(screenArea_);
    if (QScreen *current = screen())
        screenArea_ = connect(current, &QScreen::availableGeometryChanged, this, &ScreenSpace::heightLimitChanged);
    emit heightLimitChanged();
}

} // namespace tender::views
