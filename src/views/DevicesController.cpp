#include "service/AuthError.h"
#include "views/DevicesController.h"

#include "records/NameLength.h"
#include "service/API.h"
#include "service/APIError.h"
#include "views/DeviceDetails.h"
#include "views/Failure.h"
#include "views/ModelTypes.h"
#include "views/Pasteboard.h"

#include <QPointer>

namespace tender::views {

namespace {

AppModel &model()
{
    AppModel *model = AppModelForeign::instance();
    Q_ASSERT(model);
    return *model;
}

bool isTooMany(const std::exception_ptr &failure)
{
    try {
        std::rethrow_exception(failure);
    } catch (const APIError &error) {
        return error.status() == 409;
    } catch (...) {
        return false;
    }
}

} // namespace

QString DevicesController::trimmedName(const QString &name)
{
    auto blank = [](QChar c) { return c == u' ' || c == u'\t'; };
    qsizetype begin = 0;
    qsizetype end = name.size();
    while (begin < end && blank(name[begin]))
        ++begin;
    while (end > begin && blank(name[end - 1]))
        --end;
    return name.mid(begin, end - begin);
}

void DevicesController::setName(const QString &value)
{
    name_ = value;
    emit changed();
}

void DevicesController::setReceive(bool value)
{
    receive_ = value;
    emit changed();
}

void DevicesController::setSend(bool value)
{
    send_ = value;
    emit changed();
}

bool DevicesController::canAdd() const
{
    return !busy_ && NameLength::fits(trimmedName(name_)) && (receive_ || send_);
}

void DevicesController::setConfirmRemove(const QString &id)
{
    confirmRemove_ = id.isEmpty() ? std::nullopt : std::optional(id);
    emit changed();
}

void DevicesController::load()
{
    runLoad();
}

QCoro::Task<> DevicesController::runLoad()
{
    QPointer<DevicesController> self(this);
    try {
        QList<Device> list = co_await model().api().devices();
        if (!self)
            co_return;
        devices_ = std::move(list);
        error_.reset();
        emit changed();
    } catch (...) {
        if (self)
            fail(std::current_exception(), QStringLiteral("Не получилось загрузить устройства"));
    }
}

void DevicesController::add()
{
    if (!canAdd())
        return;
    busy_ = true;
    error_.reset();
    emit changed();
    QStringList capabilities;
    if (receive_)
        capabilities << QStringLiteral("receive");
    if (send_)
        capabilities << QStringLiteral("send");
    runAdd(trimmedName(name_), capabilities);
}

QCoro::Task<> DevicesController::runAdd(QString name, QStringList capabilities)
{
    QPointer<DevicesController> self(this);
    try {
        Created created = co_await model().api().addDevice(name, capabilities);
        if (!self)
            co_return;
        devices_.append(created.device);
        created_ = Token{created.device.name, created.token};
        name_.clear();
        busy_ = false;
        emit changed();
    } catch (...) {
        if (!self)
            co_return;
        busy_ = false;
        const std::exception_ptr failure = std::current_exception();
        fail(failure, isTooMany(failure) ? QStringLiteral("Устройств уже много, отключи лишние")
                                         : QStringLiteral("Не получилось, попробуй ещё раз"));
    }
}

void DevicesController::copy(const QString &token)
{
    Pasteboard().copy(token);
    copied_ = token;
    emit changed();
}

void DevicesController::dismissToken()
{
    created_.reset();
    emit changed();
}

void DevicesController::remove(const QString &id)
{
    // A second click while the first request is out would only fail afterwards.
    if (removing_.contains(id))
        return;
    removing_.insert(id);
    runRemove(id);
}

QCoro::Task<> DevicesController::runRemove(QString id)
{
    QPointer<DevicesController> self(this);
    try {
        co_await model().api().request("DELETE", QStringLiteral("v1/devices/") + id);
        if (!self)
            co_return;
        removing_.remove(id);
        devices_.removeIf([&](const Device &device) { return device.id == id; });
        confirmRemove_.reset();
        emit changed();
    } catch (...) {
        if (!self)
            co_return;
        removing_.remove(id);
        fail(std::current_exception(), QStringLiteral("Не получилось отключить, попробуй ещё раз"));
    }
}

QString DevicesController::details(const Device &device, const QDateTime &now) const
{
    return deviceDetails(device, now);
}

void DevicesController::openDocs()
{
    if (model().openDocs())
        return;
    error_ = QStringLiteral("Не получилось открыть браузер");
    emit changed();
}

void DevicesController::fail(const std::exception_ptr &failure, const QString &text)
{
    error_ = text;
    emit changed();
    // Last: signing out takes this tab away.
    if (endsSession(failure))
        model().signOut();
}

} // namespace tender::views
