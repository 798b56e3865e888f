#include "views/AccessibleItem.h"

#include <QLibraryInfo>
#include <QtGui/private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

#include <algorithm>

namespace tender::views {

namespace {

constexpr int passwordEcho = 2; // TextInput.Password
const QChar bullet(0x25CF);
bool askingStock = false;

bool isPasswordInput(const QObject *object)
{
    return object && object->property("echoMode").toInt() == passwordEcho;
}

QString bullets(const QString &text)
{
    return QString(text.size(), bullet);
}

// Whoever handled the events before; none when the platform itself does.
QAccessible::UpdateHandler previous = nullptr;

// To the platform (the AT-SPI bridge) straight: handing the event back to
// QAccessible with no handler for the while loses clicks while a listener
// waits on the bus.
void passOn(QAccessibleEvent *event)
{
    if (previous)
        return previous(event);
    if (QPlatformAccessibility *platform = QGuiApplicationPrivate::platformIntegration()->accessibility())
        platform->notifyAccessibilityUpdate(event);
}

// Qt Quick's text events of a password input carry what was typed; they go
// on with a bullet per character instead.
void maskPasswordEvents(QAccessibleEvent *event)
{
    QObject *input = event->object();
    if (!isPasswordInput(input))
        return passOn(event);
    switch (event->type()) {
    case QAccessible::TextInserted: {
        const auto *typed = static_cast<QAccessibleTextInsertEvent *>(event);
        QAccessibleTextInsertEvent masked(input, typed->changePosition(), bullets(typed->textInserted()));
        return passOn(&masked);
    }
    case QAccessible::TextRemoved: {
        const auto *removed = static_cast<QAccessibleTextRemoveEvent *>(event);
        QAccessibleTextRemoveEvent masked(input, removed->changePosition(), bullets(removed->textRemoved()));
        return passOn(&masked);
    }
    case QAccessible::TextUpdated: {
        const auto *updated = static_cast<QAccessibleTextUpdateEvent *>(event);
        QAccessibleTextUpdateEvent masked(input, updated->changePosition(), bullets(updated->textRemoved()),
                                          bullets(updated->textInserted()));
        return passOn(&masked);
    }
    default:
        return passOn(event);
    }
}

// Asks Qt Quick for its own interface of the item, then wraps it. Qt's cache
// then holds both; in a debug build of Qt it asserts on that, so there the
// stock interfaces stay alone.
QAccessibleInterface *wrap(const QString &, QObject *object)
{
    auto *item = qobject_cast<QQuickItem *>(object);
    if (!item || askingStock)
        return nullptr;
    askingStock = true;
    QAccessibleInterface *stock = QAccessible::queryAccessibleInterface(item);
    askingStock = false;
    return stock ? new AccessibleItem(item, stock) : nullptr;
}

} // namespace

void AccessibleItem::install()
{
    // Later factories are asked first, so this one comes before Qt Quick's.
    static const bool installed = QLibraryInfo::isDebugBuild() || (QAccessible::installFactory(wrap), true);
    static const bool masking = (previous = QAccessible::installUpdateHandler(maskPasswordEvents), true);
    Q_UNUSED(installed);
    Q_UNUSED(masking);
}

AccessibleItem::AccessibleItem(QQuickItem *item, QAccessibleInterface *stock) : item_(item), stock_(stock) {}

AccessibleItem::~AccessibleItem()
{
    QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(stock_));
}

bool AccessibleItem::isPassword() const
{
    return isPasswordInput(item_);
}

QString AccessibleItem::text(QAccessible::Text type) const
{
    if (isPassword() && type == QAccessible::Name)
        return item_->property("label").toString();
    if (isPassword() && type == QAccessible::Value)
        return text(0, characterCount());
    return stock_->text(type);
}

QAccessible::State AccessibleItem::state() const
{
    QAccessible::State state = stock_->state();
    if (item_ && !item_->isEnabled()) {
        state.disabled = true;
        state.focusable = false;
    }
    return state;
}

void *AccessibleItem::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TextInterface && isPassword())
        return static_cast<QAccessibleTextInterface *>(this);
    return stock_->interface_cast(type);
}

int AccessibleItem::cursorPosition() const
{
    return item_ ? item_->property("cursorPosition").toInt() : 0;
}

void AccessibleItem::setCursorPosition(int position)
{
    if (item_)
        item_->setProperty("cursorPosition", position);
}

QString AccessibleItem::text(int start, int end) const
{
    const int count = characterCount();
    start = std::clamp(start, 0, count);
    end = end < 0 ? count : std::clamp(end, start, count);
    return QString(end - start, bullet);
}

int AccessibleItem::characterCount() const
{
    return item_ ? item_->property("length").toInt() : 0;
}

QString AccessibleItem::attributes(int offset, int *start, int *end) const
{
    *start = *end = offset;
    return {};
}

} // namespace tender::views
