#pragma once

#include "RecordedRequest.h"

#include <QObject>
#include <QPointer>
#include <QTcpSocket>

#include <optional>

namespace tender::test {

// The service's side of one WebSocket upgrade request: answers the handshake,
// pushes frames, answers or withholds pongs, and notes how the client left.
class StreamPeer : public QObject {
    Q_OBJECT

public:
    enum Opcode : quint8 { Text = 0x1, Binary = 0x2, Close = 0x8, Ping = 0x9, Pong = 0xA };

    // `socket` has had `request` read from it.
    StreamPeer(QTcpSocket *socket, RecordedRequest request, QObject *parent = nullptr);

    const RecordedRequest request;
    bool answerPings = true;

    // 101 accepts; any other status refuses, leaving the client to hang up.
    void answerHandshake(int status);

    void sendText(const QByteArray &utf8) { sendFrame(Text, utf8); }
    void sendBinary(const QByteArray &bytes) { sendFrame(Binary, bytes); }
    void sendFrame(Opcode opcode, const QByteArray &payload);
    // Ends the TCP connection without a close frame.
    void drop();
    // Answers the pings withheld so far, in order.
    void releasePongs();

    // What the peer saw so far; `ended`: the client hung up (or the connection otherwise ended).
    bool accepted = false;
    bool ended = false;
    std::optional<quint16> closeCode;
    int pingsReceived = 0;

private:
    void readFrames();
    void handle(quint8 opcode, const QByteArray &payload);

    QPointer<QTcpSocket> socket_;
    QByteArray buffer_;
    QList<QByteArray> heldPings_;
};

} // namespace tender::test
