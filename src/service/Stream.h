#pragma once

#include "service/Endpoints.h"

#include <QCoroTask>
#include <QObject>
#include <QPointer>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

class QWebSocket;

namespace tender {

class Auth;
class AuthError;
class Clock;
class Timer;

// The one WebSocket connection to the service that keeps the user reachable.
// It turns the service's messages into four callbacks, pings every 30 s and
// reconnects after any failure with a back-off from 1 to 60 s. Every piece of
// asynchronous work carries the generation of the connection it belongs to
// and does nothing once the stream has moved on.
class Stream : public QObject {
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds openingTimeout{60'000};
    static constexpr std::chrono::milliseconds pingInterval{30'000};
    static constexpr std::chrono::milliseconds pongDeadline{10'000};
    static constexpr double maxBackoffSeconds = 60.0;
    // The socket closes a connection that sends a bigger message.
    static constexpr quint64 maxMessageBytes = 1024 * 1024;

    Stream(Auth &auth, Clock &clock, Endpoints endpoints, QObject *parent = nullptr);
    ~Stream() override;

    // Set once by the owner, before start().
    std::function<void()> onSignal = [] {};
    // Read at each connection attempt; restart() applies a change at once.
    bool anyone = true;
    // The session cannot be refreshed any more; the error says why.
    std::function<void(const AuthError &)> onAuthLost = [](const AuthError &) {};
    std::function<void()> onSync = [] {};
    std::function<void(bool)> onOnline = [](bool) {};

    void start();
    void stop();
    void restart();
    void teardown();
    bool running() const { return running_; }

    // The machine's usable network interface, absent when there is none.
    void networkChanged(std::optional<QString> name);

    // apiBase + "v1/stream" on ws or wss, with "anyone=false" when strangers are refused.
    static QUrl address(const QUrl &apiBase, bool anyone);

private:
    void connect();
    QCoro::Task<> attempt(qint64 g);
    void open(qint64 g, const QString &token);
    void watch(QWebSocket *socket, qint64 g);
    void received(qint64 g, const QString &text);
    void failed(qint64 g, QWebSocket *socket);
    void ping(QWebSocket *socket, qint64 g);
    void ponged(qint64 g, const QByteArray &payload);
    void scheduleReconnect(qint64 g);
    QCoro::Task<> reconnectAfter(std::chrono::milliseconds wait, qint64 h);

    Auth &auth_;
    Clock &clock_;
    const Endpoints endpoints_;
    QPointer<QWebSocket> task_;
    std::unique_ptr<Timer> openTimer_;
    std::unique_ptr<Timer> pingTimer_;
    std::unique_ptr<Timer> pongTimer_;
    qint64 pingsSent_ = 0;
    qint64 pongsSeen_ = 0;
    std::optional<QString> network_;
    bool networkKnown_ = false;
    qint64 generation_ = 0;
    double backoff_ = 1.0;
    bool running_ = false;
    bool refreshToken_ = false;
    bool online_ = false;
};

} // namespace tender
