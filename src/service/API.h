#pragma once

#include "records/Contact.h"
#include "records/Created.h"
#include "records/Me.h"
#include "service/Endpoints.h"

#include <QCoroTask>
#include <QJsonObject>
#include <QObject>

class QNetworkAccessManager;

namespace tender {

class Auth;

// The client of the service's REST interface.
class API : public QObject {
    Q_OBJECT

public:
    API(Auth &auth, QNetworkAccessManager &network, Endpoints endpoints, QObject *parent = nullptr);

    // Sends with the identity token, retries once with a refreshed token after
    // a 401, and throws APIError for any answer outside 200…299.
    QCoro::Task<QByteArray> request(QByteArray method, QString path, std::optional<QJsonObject> body = std::nullopt);

    QCoro::Task<Me> me();
    QCoro::Task<QList<Contact>> contacts();
    QCoro::Task<Contact> addContact(QString code, QString label, bool close);
    QCoro::Task<> signal(QString id);
    QCoro::Task<> signalAnyone();
    QCoro::Task<QList<Device>> devices();
    QCoro::Task<Created> addDevice(QString name, QStringList capabilities);

private:
    Auth &auth_;
    QNetworkAccessManager &network_;
    const Endpoints endpoints_;
};

} // namespace tender
