#include "service/Http.h"
#include "service/TransportError.h"

#include <QCoroNetworkReply>
#include <QNetworkAccessManager>
#include <QNetworkReply>

#include <memory>

namespace tender::Http {

namespace {

TransportError transportError(const QNetworkReply &reply, bool tooLarge)
{
    using Kind = TransportError::Kind;
    const QString detail = reply.errorString();
    if (tooLarge)
        return TransportError(Kind::TooLarge, detail);
    switch (reply.error()) {
    case QNetworkReply::ConnectionRefusedError:
    case QNetworkReply::HostNotFoundError:
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::UnknownNetworkError:
    case QNetworkReply::ProxyConnectionRefusedError:
    case QNetworkReply::ProxyNotFoundError:
        return TransportError(Kind::NoConnection, detail);
    case QNetworkReply::TimeoutError:
    case QNetworkReply::OperationCanceledError: // what a transfer time-out reports
    case QNetworkReply::ProxyTimeoutError:
        return TransportError(Kind::TimedOut, detail);
    case QNetworkReply::RemoteHostClosedError:
        return TransportError(Kind::Dropped, detail);
    case QNetworkReply::SslHandshakeFailedError:
        return TransportError(Kind::Tls, detail);
    default:
        return TransportError(Kind::Other, detail);
    }
}

struct ReplyDeleter {
    void operator()(QNetworkReply *reply) const { reply->deleteLater(); }
};

} // namespace

QNetworkRequest request(const QUrl &url)
{
    QNetworkRequest request(url);
    request.setTransferTimeout(int(timeout.count()));
    return request;
}

QCoro::Task<Answer> send(QNetworkAccessManager &network, QNetworkRequest request, QByteArray method, QByteArray body)
{
    std::unique_ptr<QNetworkReply, ReplyDeleter> reply(
        body.isEmpty() ? network.sendCustomRequest(request, method)
                       : network.sendCustomRequest(request, method, body));
    auto tooLarge = std::make_shared<bool>(false);
    QObject::connect(reply.get(), &QNetworkReply::downloadProgress, reply.get(),
                     [raw = reply.get(), tooLarge](qint64 received, qint64) {
                         if (received > maxAnswerBytes && !*tooLarge) {
                             *tooLarge = true;
                             raw->abort();
                         }
                     });
    if (!reply->isFinished())
        co_await qCoro(reply.get()).waitForFinished(std::chrono::milliseconds(-1));

    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (*tooLarge || !status.isValid())
        throw transportError(*reply, *tooLarge);
    co_return Answer{status.toInt(), reply->readAll()};
}

} // namespace tender::Http
