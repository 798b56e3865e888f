#pragma once

#include <QCoroTask>
#include <QNetworkRequest>

#include <chrono>

class QNetworkAccessManager;

namespace tender::Http {

inline constexpr std::chrono::milliseconds timeout{60'000};
// Bigger answers are cut off: nothing the service or the identity provider sends comes near it.
inline constexpr qint64 maxAnswerBytes = 8 * 1024 * 1024;

struct Answer {
    int status = 0;
    QByteArray body;
};

// A request with the 60-second time-out of every call.
QNetworkRequest request(const QUrl &url);

// Sends and waits. An HTTP answer of any status is returned; no answer at all
// throws TransportError.
QCoro::Task<Answer> send(QNetworkAccessManager &network, QNetworkRequest request,
                         QByteArray method, QByteArray body = {});

} // namespace tender::Http
