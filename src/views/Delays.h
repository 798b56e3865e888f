#pragma once

#include <QJSValue>
#include <QObject>
#include <QQmlEngine>

#include <memory>
#include <vector>

namespace tender {
class Timer;
}

namespace tender::views {

// Delayed actions of a view on the app's clock; they die with the view.
class Delays : public QObject {
    Q_OBJECT
    QML_ELEMENT

public:
    explicit Delays(QObject *parent = nullptr);
    ~Delays() override;

    // Calls `action` once after `ms`; several may be pending at once.
    Q_INVOKABLE void after(int ms, QJSValue action);

private:
    std::vector<std::unique_ptr<Timer>> pending_;
};

} // namespace tender::views
