#include "service/Stream.h"

#include "platform/Clock.h"
#include "service/Auth.h"
#include "service/AuthError.h"
#include "service/HandshakeStatus.h"
#include "service/StreamMessage.h"

#include <QNetworkRequest>
#include <QWebSocket>

namespace tender {

Stream::Stream(Auth &auth, Clock &clock, Endpoints endpoints, QObject *parent)
    : QObject(parent), auth_(auth), clock_(clock), endpoints_(std::move(endpoints))
{
}

Stream::~Stream()
{
    // Nothing of the old connection may call back into a half-destroyed stream.
    running_ = false;
    ++generation_;
    openTimer_.reset();
    pingTimer_.reset();
    if (task_)
        task_->disconnect(this);
}

QUrl Stream::address(const QUrl &apiBase, bool anyone)
{
    QUrl url = Endpoints::join(apiBase, QStringLiteral("v1/stream"));
    url.setScheme(url.scheme() == QLatin1String("https") ? QStringLiteral("wss") : QStringLiteral("ws"));
    if (!anyone)
        url.setQuery(QStringLiteral("anyone=false"));
    return url;
}

void Stream::start()
{
    if (running_)
        return;
    running_ = true;
    backoff_ = 1.0;
    connect();
}

void Stream::stop()
{
    running_ = false;
    teardown();
}

void Stream::restart()
{
    if (!running_)
        return;
    teardown();
    backoff_ = 1.0;
    connect();
}

void Stream::teardown()
{
    ++generation_;
    openTimer_.reset();
    pingTimer_.reset();
    pongTimer_.reset();
    if (QWebSocket *socket = task_) {
        task_ = nullptr;
        QObject::connect(socket, &QWebSocket::disconnected, socket, &QObject::deleteLater);
        // A socket that has already failed gets no close frame; writing to it only draws warnings.
        if (socket->state() == QAbstractSocket::ConnectedState && socket->error() == QAbstractSocket::UnknownSocketError)
            socket->close(QWebSocketProtocol::CloseCodeGoingAway);
        else
            socket->abort();
        if (socket->state() == QAbstractSocket::UnconnectedState)
            socket->deleteLater();
    }
    // Last, so that an owner reacting to it finds the stream consistent.
    if (online_) {
        online_ = false;
        onOnline(false);
    }
}

void Stream::networkChanged(std::optional<QString> name)
{
    const bool same = !networkKnown_ || name == network_;
    network_ = name;
    networkKnown_ = true;
    if (name && !same && running_)
        restart();
}

void Stream::connect()
{
    attempt(++generation_);
}

QCoro::Task<> Stream::attempt(qint64 g)
{
    QPointer<Stream> self(this);
    try {
        std::optional<QString> token;
        try {
            token = co_await auth_.token(refreshToken_);
        } catch (const AuthError &error) {
            if (!self || generation_ != g)
                co_return;
            if (error.endsSession())
                onAuthLost(error);
            else
                scheduleReconnect(g);
        } catch (...) {
            if (self)
                scheduleReconnect(g);
        }
        if (!self || !token)
            co_return;
        refreshToken_ = false;
        if (running_ && generation_ == g)
            open(g, *token);
    } catch (...) {
        // An owner's callback failed; the stream itself stays sound.
    }
}

void Stream::open(qint64 g, const QString &token)
{
    auto *socket = new QWebSocket(QString(), QWebSocketProtocol::VersionLatest, this);
    socket->setMaxAllowedIncomingFrameSize(maxMessageBytes);
    socket->setMaxAllowedIncomingMessageSize(maxMessageBytes);
    task_ = socket;
    watch(socket, g);

    QNetworkRequest request(address(endpoints_.apiBase, anyone));
    request.setRawHeader("Authorization", "Bearer " + token.toUtf8());
    request.setRawHeader("X-Client", endpoints_.client.toUtf8());
    openTimer_ = clock_.singleShot(openingTimeout, [this, g] { scheduleReconnect(g); });
    socket->open(request);

    pingsSent_ = 0;
    pongsSeen_ = 0;
    QPointer<QWebSocket> pinged(socket);
    pingTimer_ = clock_.repeating(pingInterval, [this, pinged, g] { ping(pinged, g); });
}

void Stream::watch(QWebSocket *socket, qint64 g)
{
    // Binary messages are not connected: the service sends none the client reads.
    QObject::connect(socket, &QWebSocket::textMessageReceived, this,
                     [this, g](const QString &text) { received(g, text); });
    QObject::connect(socket, &QWebSocket::connected, this, [this, g] {
        if (generation_ == g)
            openTimer_.reset();
    });
    QObject::connect(socket, &QWebSocket::pong, this,
                     [this, g](quint64, const QByteArray &payload) { ponged(g, payload); });
    QObject::connect(socket, qOverload<QAbstractSocket::SocketError>(&QWebSocket::error), this,
                     [this, g, socket] { failed(g, socket); });
    QObject::connect(socket, &QWebSocket::disconnected, this, [this, g, socket] { failed(g, socket); });
}

void Stream::received(qint64 g, const QString &text)
{
    if (generation_ != g)
        return;
    switch (classifyStreamMessage(text)) {
    case StreamMessage::Ready:
        backoff_ = 1.0;
        if (!online_) {
            online_ = true;
            onOnline(true);
            if (generation_ != g)
                return;
        }
        onSync();
        break;
    case StreamMessage::Sync:
        onSync();
        break;
    case StreamMessage::Signal:
        onSignal();
        break;
    case StreamMessage::Other:
        break;
    }
}

void Stream::failed(qint64 g, QWebSocket *socket)
{
    if (generation_ != g)
        return;
    if (refusedHandshakeStatus(socket->errorString()) == 401)
        refreshToken_ = true;
    scheduleReconnect(g);
}

void Stream::ping(QWebSocket *socket, qint64 g)
{
    // Before the handshake is done a ping frame would corrupt it; the opening time-out covers that wait.
    if (generation_ != g || !socket || socket->state() != QAbstractSocket::ConnectedState)
        return;
    const qint64 n = ++pingsSent_;
    socket->ping(QByteArray::number(n));
    pongTimer_ = clock_.singleShot(pongDeadline, [this, g, n] {
        try {
            if (generation_ == g && pongsSeen_ < n)
                scheduleReconnect(g);
        } catch (...) {
        }
    });
}

void Stream::ponged(qint64 g, const QByteArray &payload)
{
    bool isNumber = false;
    const qint64 n = payload.toLongLong(&isNumber);
    // A pong for a ping never sent must not vouch for later ones.
    if (generation_ != g || !isNumber || n > pingsSent_)
        return;
    pongsSeen_ = std::max(pongsSeen_, n);
    // Answered: nothing need wake at the deadline.
    if (pongsSeen_ == pingsSent_)
        pongTimer_.reset();
}

void Stream::scheduleReconnect(qint64 g)
{
    if (!running_ || generation_ != g)
        return;
    const qint64 h = g + 1; // teardown's generation; anything newer makes the sleeper stale
    const auto wait = std::chrono::milliseconds(qint64(backoff_ * 1000));
    backoff_ = std::min(2 * backoff_, maxBackoffSeconds);
    teardown();
    reconnectAfter(wait, h);
}

QCoro::Task<> Stream::reconnectAfter(std::chrono::milliseconds wait, qint64 h)
{
    QPointer<Stream> self(this);
    co_await clock_.sleep(wait);
    try {
        if (self && running_ && generation_ == h)
            connect();
    } catch (...) {
    }
}

} // namespace tender
