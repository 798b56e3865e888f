#pragma once

#include "model/Pause.h"

#include <QObject>
#include <QQmlEngine>

namespace tender::views {

// The model's computed pause state, for bindings that depend on pausedUntil,
// and its pause lengths by name: PauseStatus.pause(PauseStatus.Morning).
class PauseStatus : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    enum Length {
        Hour = int(PauseLength::Hour),
        Morning = int(PauseLength::Morning),
        Indefinite = int(PauseLength::Indefinite),
    };
    Q_ENUM(Length)

    using QObject::QObject;

    Q_INVOKABLE void pause(Length length) const;

    Q_INVOKABLE bool isPaused() const;
    Q_INVOKABLE QString text() const;
};

} // namespace tender::views
