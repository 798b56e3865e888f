#pragma once

#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QQmlEngine>
#include <QQuickWindow>

class QScreen;

namespace tender::views {

// How tall a scrolling screen may grow: the visible height of the screen its
// window is on (the primary screen before it has one) less 80, or 720 when
// there is no screen at all.
class ScreenSpace : public QObject {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QQuickWindow *window READ window WRITE setWindow NOTIFY windowChanged)
    Q_PROPERTY(qreal heightLimit READ heightLimit NOTIFY heightLimitChanged)

public:
    explicit ScreenSpace(QObject *parent = nullptr);

    static qreal limitFor(const QScreen *screen);

    QQuickWindow *window() const { return window_; }
    void setWindow(QQuickWindow *window);
    qreal heightLimit() const;

signals:
    void windowChanged();
    void heightLimitChanged();

private:
    QScreen *screen() const;
    void follow();

    QPointer<QQuickWindow> window_;
    QMetaObject::Connection windowScreen_;
    QMetaObject::Connection screenArea_;
};

} // namespace tender::views
