#pragma once

#include <QCoroTask>
#include <QObject>
#include <QQmlEngine>

namespace tender::views {

// The account block's deletion: the question, and the error of a failed try.
// A deletion that succeeds signs the user out, which takes the screen away.
class AccountDeletion : public QObject {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(bool confirming READ confirming WRITE setConfirming NOTIFY changed)
    Q_PROPERTY(QString error READ error NOTIFY changed)

public:
    using QObject::QObject;

    bool confirming() const { return confirming_; }
    void setConfirming(bool value);
    QString error() const { return error_; }

    // Deletes the account; the question stays open whatever happens.
    Q_INVOKABLE void confirm();

signals:
    void changed();

private:
    QCoro::Task<> run();

    bool confirming_ = false;
    bool running_ = false;
    QString error_;
};

} // namespace tender::views
