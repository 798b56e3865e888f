#pragma once

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QQmlEngine>
#include <QQmlParserStatus>
#include <QQuickWindow>

#include <memory>

namespace tender {
class Clock;
class Timer;
}

namespace tender::views {

// "Now", refreshed every `interval` ms on the app's clock from the moment the
// item is created, so a view's time-based look follows a test's manual clock.
// While the window it sits in is hidden it does not tick; shown again, it
// reads the time at once.
class Timeline : public QObject, public QQmlParserStatus {
    Q_OBJECT
    Q_INTERFACES(QQmlParserStatus)
    QML_ELEMENT
    Q_PROPERTY(int interval READ interval WRITE setInterval NOTIFY intervalChanged)
    Q_PROPERTY(QDateTime now READ now NOTIFY nowChanged)

public:
    explicit Timeline(QObject *parent = nullptr);
    ~Timeline() override;

    static void setClock(Clock *clock);
    static Clock *clock();

    int interval() const { return interval_; }
    void setInterval(int interval);
    QDateTime now() const { return now_; }

    void classBegin() override {}
    void componentComplete() override;

signals:
    void intervalChanged();
    void nowChanged();

private:
    void restart();
    void tick();
    void follow(QQuickWindow *window);

    int interval_ = 1000;
    bool complete_ = false;
    QDateTime now_;
    std::unique_ptr<Timer> timer_;
    QPointer<QQuickWindow> window_;
    QMetaObject::Connection shown_;
};

} // namespace tender::views
