#include "views/Timeline.h"

#include "platform/Clock.h"

#include <QQuickItem>

namespace tender::views {

namespace {
Clock *appClock = nullptr;
}

Timeline::Timeline(QObject *parent)
    : QObject(parent)
{
}

Timeline::~Timeline() = default;

void Timeline::setClock(Clock *clock)
{
    appClock = clock;
}

Clock *Timeline::clock()
{
    return appClock;
}

void Timeline::setInterval(int interval)
{
    if (interval == interval_)
        return;
    interval_ = interval;
    emit intervalChanged();
    restart();
}

void Timeline::componentComplete()
{
    complete_ = true;
    auto *item = qobject_cast<QQuickItem *>(parent());
    if (!item) {
        restart();
        return;
    }
    connect(item, &QQuickItem::windowChanged, this, &Timeline::follow);
    follow(item->window());
}

void Timeline::follow(QQuickWindow *window)
{
    disconnect(shown_);
    window_ = window;
    if (window)
        shown_ = connect(window, &QWindow::visibleChanged, this, &Timeline::restart);
    restart();
}

void Timeline::restart()
{
    timer_.reset();
    if (!complete_ || !appClock)
        return;
    tick();
    if (interval_ > 0 && (!window_ || window_->isVisible()))
        timer_ = appClock->repeating(Milliseconds(interval_), [this] { tick(); });
}

void Timeline::tick()
{
    now_ = appClock->now();
    emit nowChanged();
}

} // namespace tender::views
