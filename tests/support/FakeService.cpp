#include "FakeService.h"

#include <QJsonDocument>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>

namespace tender::test {

namespace {

// The request line and headers; the clients under test always send whole, well-formed ones.
RecordedRequest parseHead(const QByteArray &head)
{
    const QList<QByteArray> lines = head.split('\n');
    const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
    RecordedRequest request;
    request.method = first[0];
    const QUrl target(QString::fromLatin1(first.value(1)));
    request.path = target.path(QUrl::FullyEncoded);
    request.query = QUrlQuery(target);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon > 0)
            request.headers.insert(line.left(colon).trimmed().toLower(), line.mid(colon + 1).trimmed());
    }
    return request;
}

} // namespace

FakeReply FakeReply::json(int status, const QJsonObject &body)
{
    return FakeReply{status, QJsonDocument(body).toJson(QJsonDocument::Compact)};
}

FakeReply FakeReply::token(const QString &idToken, const QString &refreshToken)
{
    return json(200, {{"id_token", idToken}, {"refresh_token", refreshToken}, {"expires_in", "3600"}});
}

FakeReply FakeReply::account(const QString &uid, std::optional<QString> email)
{
    QJsonObject body{{"localId", uid}, {"idToken", "id-" + uid}, {"refreshToken", "rt-" + uid}, {"expiresIn", "3600"}};
    if (email)
        body.insert("email", *email);
    return json(200, body);
}

FakeReply FakeReply::identityError(const QString &message, int status)
{
    return json(status, QJsonObject{{"error", QJsonObject{{"code", status}, {"message", message}}}});
}

FakeService::FakeService(QObject *parent) : QObject(parent)
{
    server_.listen(QHostAddress::LocalHost, 0);
    connect(&server_, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = server_.nextPendingConnection()) {
            socket->setParent(this);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readFrom(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

QUrl FakeService::base() const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(server_.serverPort()));
}

Endpoints FakeService::endpoints() const
{
    const QString root = base().toString();
    return Endpoints{base(), base(), QUrl(root + "/identitytoolkit/v1/"), QUrl(root + "/securetoken/"),
                     QString::fromLatin1(identityKey), QStringLiteral("linux/test")};
}

void FakeService::on(const QByteArray &method, const QString &path, FakeReply reply)
{
    script_[{method, path}].queue.append(std::move(reply));
}

void FakeService::reset()
{
    script_.clear();
    requests_.clear();
}

QList<RecordedRequest> FakeService::requests(const QByteArray &method, const QString &path) const
{
    QList<RecordedRequest> matching;
    std::ranges::copy_if(requests_, std::back_inserter(matching),
                         [&](const RecordedRequest &r) { return r.method == method && r.path == path; });
    return matching;
}

void FakeService::readFrom(QTcpSocket *socket)
{
    if (socket->property("answered").toBool())
        return;
    const QByteArray buffered = socket->peek(socket->bytesAvailable());
    const qsizetype headEnd = buffered.indexOf("\r\n\r\n");
    if (headEnd < 0)
        return;
    RecordedRequest request = parseHead(buffered.left(headEnd));
    const bool upgrading = request.header("upgrade").toLower() == "websocket";
    const qsizetype length = upgrading ? 0 : request.header("content-length").toLongLong();
    if (buffered.size() < headEnd + 4 + length)
        return;
    socket->read(headEnd + 4);
    request.body = socket->read(length);
    socket->setProperty("answered", true);
    requests_.append(request);
    emit requestReceived(request);
    if (upgrading)
        upgrade(socket, request);
    else
        answer(socket, request);
}

void FakeService::answer(QTcpSocket *socket, const RecordedRequest &request)
{
    Script &script = script_[{request.method, request.path}];
    if (!script.queue.isEmpty())
        script.last = script.queue.takeFirst();
    const FakeReply reply = script.last.value_or(FakeReply::json(404, {{"error", "not scripted"}}));
    auto send = [socket, reply] {
        if (reply.drop) {
            socket->abort();
            return;
        }
        QByteArray bytes = "HTTP/1.1 " + QByteArray::number(reply.status) + " Status\r\n";
        bytes += "Content-Type: application/json\r\nConnection: close\r\n";
        bytes += "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\n\r\n" + reply.body;
        socket->write(bytes);
        socket->disconnectFromHost();
    };
    if (reply.delayMs > 0)
        QTimer::singleShot(reply.delayMs, socket, send);
    else
        send();
}

void FakeService::upgrade(QTcpSocket *socket, const RecordedRequest &request)
{
    auto *peer = new StreamPeer(socket, request, this);
    peer->answerPings = answerPings;
    peers_.append(peer);
    const int status = statuses_.isEmpty() ? 101 : statuses_.takeFirst();
    if (status != 0)
        peer->answerHandshake(status);
}

} // namespace tender::test
