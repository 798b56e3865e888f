#include "StreamPeer.h"

#include <QCryptographicHash>
#include <QtEndian>

#include <numeric>

namespace tender::test {

namespace {

QByteArray acceptKey(const QByteArray &key)
{
    return QCryptographicHash::hash(key + "258EAFA5-E914-47DA-95CA-C5AB0DC85B11", QCryptographicHash::Sha1)
        .toBase64();
}

QByteArray frameHeader(quint8 opcode, qint64 length)
{
    const int lengthBytes = length < 126 ? 0 : length <= 0xFFFF ? 2 : 8;
    QByteArray header(1, char(0x80 | opcode));
    header += char(lengthBytes == 0 ? length : lengthBytes == 2 ? 126 : 127);
    for (int shift = 8 * lengthBytes - 8; shift >= 0; shift -= 8)
        header += char((length >> shift) & 0xFF);
    return header;
}

} // namespace

StreamPeer::StreamPeer(QTcpSocket *socket, RecordedRequest request, QObject *parent)
    : QObject(parent), request(std::move(request)), socket_(socket)
{
    connect(socket, &QTcpSocket::disconnected, this, [this] { ended = true; });
    connect(socket, &QObject::destroyed, this, [this] { ended = true; });
}

void StreamPeer::answerHandshake(int status)
{
    if (status != 101) {
        socket_->write("HTTP/1.1 " + QByteArray::number(status) + " Refused\r\nContent-Length: 0\r\n\r\n");
        return;
    }
    accepted = true;
    socket_->write("HTTP/1.1 101 Switching Protocols\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
                   "Sec-WebSocket-Accept: " + acceptKey(request.header("sec-websocket-key")) + "\r\n\r\n");
    connect(socket_, &QTcpSocket::readyRead, this, &StreamPeer::readFrames);
    readFrames();
}

void StreamPeer::sendFrame(Opcode opcode, const QByteArray &payload)
{
    if (socket_)
        socket_->write(frameHeader(opcode, payload.size()) + payload);
}

void StreamPeer::drop()
{
    if (socket_)
        socket_->abort();
}

void StreamPeer::releasePongs()
{
    for (const QByteArray &payload : std::exchange(heldPings_, {}))
        sendFrame(Pong, payload);
}

// Client frames are always masked; fragments are not expected from the client.
void StreamPeer::readFrames()
{
    buffer_ += socket_->readAll();
    while (buffer_.size() >= 2) {
        const auto *bytes = reinterpret_cast<const uchar *>(buffer_.constData());
        qint64 length = bytes[1] & 0x7F;
        const qsizetype offset = length == 126 ? 4 : length == 127 ? 10 : 2;
        if (buffer_.size() < offset)
            return;
        if (offset > 2)
            length = std::accumulate(bytes + 2, bytes + offset, qint64(0),
                                     [](qint64 n, uchar b) { return n << 8 | b; });
        if (buffer_.size() < offset + 4 + length)
            return;
        const QByteArray mask = buffer_.mid(offset, 4);
        QByteArray payload = buffer_.mid(offset + 4, length);
        for (qsizetype i = 0; i < payload.size(); ++i)
            payload[i] = char(payload[i] ^ mask[i % 4]);
        const quint8 opcode = bytes[0] & 0x0F;
        buffer_.remove(0, offset + 4 + length);
        handle(opcode, payload);
    }
}

void StreamPeer::handle(quint8 opcode, const QByteArray &payload)
{
    if (opcode == Ping) {
        ++pingsReceived;
        if (answerPings)
            sendFrame(Pong, payload);
        else
            heldPings_.append(payload);
    } else if (opcode == Close) {
        if (payload.size() >= 2)
            closeCode = qFromBigEndian<quint16>(payload.constData());
        sendFrame(Close, payload.left(2));
        socket_->disconnectFromHost();
    }
}

} // namespace tender::test
