#include "platform/Clock.h"
#include "shell/Popover.h"
#include "shell/PopoverPlacement.h"

#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QQuickItem>
#include <QScreen>

namespace tender {

namespace {

constexpr qint64 clickThroughMs = 300;

} // namespace

Popover::Popover(QQmlEngine *engine, const QUrl &source, Clock &clock, QObject *parent)
    : QObject(parent), view_(engine, nullptr), clock_(clock)
{
    view_.setFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    view_.setResizeMode(QQuickView::SizeViewToRootObject);
    view_.setColor(Qt::white);
    view_.setTitle(QStringLiteral("Tender"));
    view_.setSource(source);
    connect(&view_, &QWindow::activeChanged, this, [this] {
        if (!view_.isActive() && view_.isVisible()) {
            view_.hide();
            closedAt_ = clock_.now();
        }
    });
    // Key events reach the content item only when no control took them, so an
    // open menu still closes itself on Escape before the popover would.
    view_.contentItem()->installEventFilter(this);
}

void Popover::open(const QRect &icon)
{
    place(icon);
    view_.show();
    view_.raise();
    view_.requestActivate();
}

void Popover::close()
{
    view_.hide();
}

bool Popover::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
        close();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

bool Popover::justClosed() const
{
    return closedAt_.isValid() && closedAt_.msecsTo(clock_.now()) < clickThroughMs;
}

void Popover::place(const QRect &icon)
{
    const QPoint pointer = QCursor::pos();
    QScreen *screen = QGuiApplication::screenAt(icon.isEmpty() ? pointer : icon.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    view_.setScreen(screen);
    view_.setPosition(PopoverPlacement::place(icon, pointer, view_.size(), screen->availableGeometry()));
}

} // namespace tender
