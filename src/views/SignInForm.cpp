#include "views/SignInForm.h"

#include "model/AppModel.h"
#include "service/Auth.h"
#include "views/Failure.h"
#include "views/ModelTypes.h"

#include <QPointer>
#include <QTextBoundaryFinder>

namespace tender::views {

namespace {

constexpr int minimumPasswordLength = 8;

// Characters as the user counts them: an emoji or an accented letter is one.
qsizetype graphemeCount(const QString &text)
{
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, text);
    qsizetype count = 0;
    while (graphemes.toNextBoundary() > 0)
        ++count;
    return count;
}

} // namespace

SignInForm::SignInForm(QObject *parent)
    : QObject(parent)
{
}

void SignInForm::setEmail(const QString &email)
{
    if (email == email_)
        return;
    email_ = email;
    emit emailChanged();
}

void SignInForm::setPassword(const QString &password)
{
    if (password == password_)
        return;
    password_ = password;
    emit passwordChanged();
}

void SignInForm::signInWithGoogle()
{
    setMessage({});
    if (AppModel *model = AppModelForeign::instance())
        model->signInWithGoogle();
}

void SignInForm::showEmailForm()
{
    setWithEmail(true);
    setMessage({});
}

void SignInForm::back()
{
    setWithEmail(false);
    setMessage({});
}

void SignInForm::submit()
{
    if (busy_)
        return;
    const QString address = email_.trimmed();
    if (address.isEmpty()) {
        setMessage(QStringLiteral("Введи почту"));
        return;
    }
    if (graphemeCount(password_) < minimumPasswordLength) {
        setMessage(QStringLiteral("Пароль нужен не короче 8 символов"));
        return;
    }
    setBusy(true);
    setMessage({});
    signIn(address, password_);
}

void SignInForm::reset()
{
    const QString address = email_.trimmed();
    if (address.isEmpty()) {
        setMessage(QStringLiteral("Сначала введи почту"));
        return;
    }
    setMessage({});
    requestReset(address);
}

QCoro::Task<> SignInForm::signIn(QString address, QString password)
{
    QPointer<SignInForm> self(this);
    QPointer<AppModel> model(AppModelForeign::instance());
    if (!model)
        co_return;
    std::optional<QString> failure;
    try {
        co_await model->auth().signIn(address, password);
    } catch (...) {
        failure = describe(std::current_exception());
    }
    // A screen closed meanwhile leaves no trace.
    if (!self || !model)
        co_return;
    if (failure) {
        setMessage(*failure);
        setBusy(false);
        co_return;
    }
    model->didSignIn();
    if (!self)
        co_return;
    setPassword({});
    setBusy(false);
}

QCoro::Task<> SignInForm::requestReset(QString address)
{
    QPointer<SignInForm> self(this);
    QPointer<AppModel> model(AppModelForeign::instance());
    if (!model)
        co_return;
    QString outcome = QStringLiteral("Письмо для нового пароля отправлено");
    try {
        co_await model->auth().sendPasswordReset(address);
    } catch (...) {
        outcome = describe(std::current_exception());
    }
    if (self)
        setMessage(outcome);
}

void SignInForm::setWithEmail(bool value)
{
    if (value == withEmail_)
        return;
    withEmail_ = value;
    emit withEmailChanged();
}

void SignInForm::setBusy(bool value)
{
    if (value == busy_)
        return;
    busy_ = value;
    emit busyChanged();
}

void SignInForm::setMessage(const QString &message)
{
    if (message == message_)
        return;
    message_ = message;
    emit messageChanged();
}

} // namespace tender::views
