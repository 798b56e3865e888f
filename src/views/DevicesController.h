#pragma once

#include "records/Device.h"

#include <QCoroTask>
#include <QDateTime>
#include <QObject>
#include <QQmlEngine>
#include <QSet>

#include <optional>

namespace tender::views {

// The state and work of the devices tab: the list, the pairing form, the
// token shown once, the one pending removal question and the error line.
// Work still running when the tab goes away ends without a trace.
class DevicesController : public QObject {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QList<tender::Device> devices READ devices NOTIFY changed)
    Q_PROPERTY(QString name READ name WRITE setName NOTIFY changed)
    Q_PROPERTY(bool receive READ receive WRITE setReceive NOTIFY changed)
    Q_PROPERTY(bool send READ send WRITE setSend NOTIFY changed)
    Q_PROPERTY(bool busy READ busy NOTIFY changed)
    Q_PROPERTY(bool canAdd READ canAdd NOTIFY changed)
    Q_PROPERTY(QString error READ error NOTIFY changed)
    Q_PROPERTY(bool hasCreated READ hasCreated NOTIFY changed)
    Q_PROPERTY(QString createdName READ createdName NOTIFY changed)
    Q_PROPERTY(QString createdToken READ createdToken NOTIFY changed)
    Q_PROPERTY(QString confirmRemove READ confirmRemove WRITE setConfirmRemove NOTIFY changed)
    Q_PROPERTY(QString copied READ copied NOTIFY changed)

public:
    using QObject::QObject;

    // The name as it is sent: without leading and trailing spaces and tabs.
    static QString trimmedName(const QString &name);

    const QList<Device> &devices() const { return devices_; }
    QString name() const { return name_; }
    void setName(const QString &value);
    bool receive() const { return receive_; }
    void setReceive(bool value);
    bool send() const { return send_; }
    void setSend(bool value);
    bool busy() const { return busy_; }
    bool canAdd() const;
    QString error() const { return error_.value_or(QString()); }
    bool hasCreated() const { return created_.has_value(); }
    QString createdName() const { return created_ ? created_->name : QString(); }
    QString createdToken() const { return created_ ? created_->token : QString(); }
    QString confirmRemove() const { return confirmRemove_.value_or(QString()); }
    void setConfirmRemove(const QString &id);
    QString copied() const { return copied_.value_or(QString()); }

    Q_INVOKABLE void load();
    Q_INVOKABLE void add();
    Q_INVOKABLE void copy(const QString &token);
    // "Готово": the token leaves the screen for good.
    Q_INVOKABLE void dismissToken();
    Q_INVOKABLE void remove(const QString &id);
    Q_INVOKABLE QString details(const tender::Device &device, const QDateTime &now) const;
    Q_INVOKABLE void openDocs();

signals:
    void changed();

private:
    struct Token {
        QString name;
        QString token;
    };

    QCoro::Task<> runLoad();
    QCoro::Task<> runAdd(QString name, QStringList capabilities);
    QCoro::Task<> runRemove(QString id);
    // Shows `text`, or the session's end when the failure means that.
    void fail(const std::exception_ptr &failure, const QString &text);

    QList<Device> devices_;
    QString name_;
    bool receive_ = true;
    bool send_ = true;
    bool busy_ = false;
    std::optional<QString> error_;
    std::optional<Token> created_;
    std::optional<QString> confirmRemove_;
    std::optional<QString> copied_;
    QSet<QString> removing_;
};

} // namespace tender::views
