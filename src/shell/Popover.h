#pragma once

#include <QDateTime>
#include <QQuickView>

namespace tender {

class Clock;

// The panel that holds the whole interface: a frameless window that opens at
// the tray icon, takes the keyboard at once and closes when it loses focus
// or on Escape. Its edge next to the icon stays put while the content grows
// or shrinks.
class Popover : public QObject {
    Q_OBJECT

public:
    Popover(QQmlEngine *engine, const QUrl &source, Clock &clock, QObject *parent = nullptr);

    bool isShown() const { return view_.isVisible(); }
    // Opens at the icon (or the pointer when `icon` is empty) and focuses it.
    void open(const QRect &icon);
    void close();
    // Moves the open popover to the icon, once the tray tells where it is.
    void place(const QRect &icon);
    // True for a moment after a click outside closed it: that click may have
    // been on the tray icon, whose toggle must then not reopen it.
    bool justClosed() const;
    QQuickView &view() { return view_; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void follow();

    QQuickView view_;
    Clock &clock_;
    QDateTime closedAt_;
    // What the popover was opened at: the icon, or the pointer then.
    QRect icon_;
    QPoint pointer_;
};

} // namespace tender
