#include "views/AccountDeletion.h"

#include "service/AuthError.h"
#include "views/Failure.h"
#include "views/ModelTypes.h"

#include <QPointer>

namespace tender::views {

void AccountDeletion::setConfirming(bool value)
{
    confirming_ = value;
    emit changed();
}

void AccountDeletion::confirm()
{
    // A second click while the first request is out would only fail afterwards.
    if (running_)
        return;
    run();
}

QCoro::Task<> AccountDeletion::run()
{
    AppModel *model = AppModelForeign::instance();
    Q_ASSERT(model);
    QPointer<AccountDeletion> self(this);
    running_ = true;
    std::exception_ptr failure;
    try {
        co_await model->deleteAccount();
    } catch (...) {
        failure = std::current_exception();
    }
    if (!self)
        co_return;
    running_ = false;
    if (!failure)
        co_return;
    error_ = describe(failure, QStringLiteral("Не получилось удалить аккаунт, попробуй ещё раз"));
    emit changed();
    if (endsSession(failure))
        model->signOut();
}

} // namespace tender::views
