#pragma once

#include <QString>

#include <optional>

namespace tender {

// The HTTP status with which the service refused a WebSocket handshake, read
// from the socket's error text: QtWebSockets 6.4 exposes nothing else
// ("QWebSocketPrivate::processHandshake: Unhandled http status code: 401 (Unauthorized).").
// Absent when the text tells of another failure.
std::optional<int> refusedHandshakeStatus(const QString &errorString);

} // namespace tender
