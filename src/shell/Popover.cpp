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
    // The view has taken the content's new size by the time these arrive.
    if (QQuickItem *content = view_.rootObject()) {
        const auto resized = [this] {
            if (view_.isVisible())
                follow();
        };
        connect(content, &QQuickItem::widthChanged, this, resized);
        connect(content, &QQuickItem::heightChanged, this, resized);
    }
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
    icon_ = icon;
    pointer_ = QCursor::pos();
    QScreen *screen = QGuiApplication::screenAt(icon.isEmpty() ? pointer_ : icon.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    view_.setScreen(screen);
    follow();
}

void Popover::follow()
{
    if (!view_.screen())
        return;
    const QQuickItem *content = view_.rootObject();
    const QSize size = content ? QSizeF(content->width(), content->height()).toSize() : view_.size();
    const QPoint at = PopoverPlacement::place(icon_, pointer_, size, view_.screen()->availableGeometry());
    view_.setGeometry(QRect(at, size));
}

} // namespace tender
