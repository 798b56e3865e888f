#pragma once

#include <QCoroTask>
#include <QObject>
#include <QQmlEngine>
#include <QString>

namespace tender::views {

// The sign-in screen's state and its two requests: e-mail sign-in (which
// creates the account when there is none) and the password-reset mail. One
// lives per shown screen, so the screen starts afresh each time.
class SignInForm : public QObject {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(bool withEmail READ withEmail NOTIFY withEmailChanged)
    Q_PROPERTY(QString email READ email WRITE setEmail NOTIFY emailChanged)
    Q_PROPERTY(QString password READ password WRITE setPassword NOTIFY passwordChanged)
    Q_PROPERTY(bool busy READ busy NOTIFY busyChanged)
    // The last note for the user; empty when there is none.
    Q_PROPERTY(QString message READ message NOTIFY messageChanged)

public:
    explicit SignInForm(QObject *parent = nullptr);

    bool withEmail() const { return withEmail_; }
    QString email() const { return email_; }
    void setEmail(const QString &email);
    QString password() const { return password_; }
    void setPassword(const QString &password);
    bool busy() const { return busy_; }
    QString message() const { return message_; }

    Q_INVOKABLE void signInWithGoogle();
    Q_INVOKABLE void showEmailForm();
    Q_INVOKABLE void back();
    Q_INVOKABLE void submit();
    Q_INVOKABLE void reset();

signals:
    void withEmailChanged();
    void emailChanged();
    void passwordChanged();
    void busyChanged();
    void messageChanged();

private:
    QCoro::Task<> signIn(QString address, QString password);
    QCoro::Task<> requestReset(QString address);
    void setWithEmail(bool value);
    void setBusy(bool value);
    void setMessage(const QString &message);

    bool withEmail_ = false;
    QString email_;
    QString password_;
    bool busy_ = false;
    QString message_;
};

} // namespace tender::views
