#include "records/JsonFields.h"
#include "records/RecordList.h"
#include "service/API.h"
#include "service/APIError.h"
#include "service/Auth.h"
#include "service/Http.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace tender {

using namespace Qt::StringLiterals;

API::API(Auth &auth, QNetworkAccessManager &network, Endpoints endpoints, QObject *parent)
    : QObject(parent), auth_(auth), network_(network), endpoints_(std::move(endpoints))
{
}

QCoro::Task<QByteArray> API::request(QByteArray method, QString path, std::optional<QJsonObject> body)
{
    QNetworkRequest request = Http::request(Endpoints::join(endpoints_.apiBase, path));
    request.setRawHeader("X-Client"_ba, endpoints_.client.toUtf8());
    QByteArray payload;
    if (body) {
        payload = QJsonDocument(*body).toJson(QJsonDocument::Compact);
        request.setHeader(QNetworkRequest::ContentTypeHeader, "application/json"_ba);
    }

    Http::Answer answer;
    for (bool retried : {false, true}) {
        request.setRawHeader("Authorization"_ba, "Bearer "_ba + (co_await auth_.token(retried)).toUtf8());
        answer = co_await Http::send(network_, request, method, payload);
        if (answer.status != 401)
            break;
    }
    if (answer.status < 200 || answer.status > 299)
        throw APIError(answer.status, APIError::messageOf(answer.body));
    co_return answer.body;
}

QCoro::Task<Me> API::me()
{
    co_return Me::fromJson(json::parseObject(co_await request("GET"_ba, u"v1/me"_s)));
}

QCoro::Task<QList<Contact>> API::contacts()
{
    co_return ContactList::fromJson(json::parseObject(co_await request("GET"_ba, u"v1/contacts"_s))).items;
}

QCoro::Task<Contact> API::addContact(QString code, QString label, bool close)
{
    const QJsonObject body{{"code"_L1, code}, {"label"_L1, label}, {"close"_L1, close}};
    co_return Contact::fromJson(json::parseObject(co_await request("POST"_ba, u"v1/contacts"_s, body)));
}

QCoro::Task<> API::signal(QString id)
{
    const QJsonObject body{{"type"_L1, "signal"_L1}, {"to"_L1, QJsonObject{{"contact"_L1, id}}}};
    co_await request("POST"_ba, u"v1/events"_s, body);
}

QCoro::Task<> API::signalAnyone()
{
    const QJsonObject body{{"type"_L1, "signal"_L1}, {"to"_L1, QJsonObject{{"anyone"_L1, true}}}};
    co_await request("POST"_ba, u"v1/events"_s, body);
}

QCoro::Task<QList<Device>> API::devices()
{
    co_return DeviceList::fromJson(json::parseObject(co_await request("GET"_ba, u"v1/devices"_s))).items;
}

QCoro::Task<Created> API::addDevice(QString name, QStringList capabilities)
{
    const QJsonObject body{{"name"_L1, name}, {"kind"_L1, "custom"_L1},
                           {"capabilities"_L1, QJsonArray::fromStringList(capabilities)}};
    co_return Created::fromJson(json::parseObject(co_await request("POST"_ba, u"v1/devices"_s, body)));
}

} // namespace tender
