#include "shell/SingleInstance.h"

#include <QDeadlineTimer>
#include <QLocalSocket>

#include <unistd.h>

namespace tender {

namespace {

// A message is one URL a line, ended by an empty line; the running instance
// answers "ok" after handing them on, so launches that follow one another
// arrive in the order they were made.
constexpr int connectMs = 2000;
constexpr int answerMs = 10000;
constexpr qint64 maxMessageBytes = 1024 * 1024;
const QByteArray endOfMessage = QByteArrayLiteral("\n\n");
const QByteArray taken = QByteArrayLiteral("ok\n");

QByteArray encode(const QStringList &urls)
{
    QByteArray message;
    for (const QString &url : urls) {
        if (!url.contains(u'\n') && !url.contains(u'\r'))
            message += url.toUtf8() + '\n';
    }
    return message.isEmpty() ? endOfMessage : message + '\n';
}

QStringList decode(const QByteArray &message)
{
    QStringList urls;
    for (const QString &line : QString::fromUtf8(message).split(u'\n', Qt::SkipEmptyParts))
        urls << line.trimmed();
    return urls;
}

} // namespace

QString SingleInstance::defaultName()
{
    const QString instance = qEnvironmentVariable("TENDER_INSTANCE", QStringLiteral("default"));
    return QStringLiteral("tender-%1-%2").arg(getuid()).arg(instance);
}

SingleInstance::SingleInstance(QString name, QObject *parent) : QObject(parent), name_(std::move(name))
{
    server_.setSocketOptions(QLocalServer::UserAccessOption | QLocalServer::AbstractNamespaceOption);
    connect(&server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = server_.nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QObject::destroyed, this, [this, socket] { pending_.remove(socket); });
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] { read(socket); });
        }
    });
}

SingleInstance::HandOff SingleInstance::handOff(const QStringList &urls)
{
    QLocalSocket socket;
    socket.setSocketOptions(QLocalSocket::AbstractNamespaceOption);
    socket.connectToServer(name_);
    if (!socket.waitForConnected(connectMs))
        return HandOff::noInstance;
    socket.write(encode(urls));
    socket.flush();
    QByteArray answer;
    const QDeadlineTimer deadline(answerMs);
    while (!answer.contains('\n') && !deadline.hasExpired()) {
        if (socket.bytesAvailable() == 0 && !socket.waitForReadyRead(int(deadline.remainingTime())))
            break;
        answer += socket.readAll();
    }
    socket.disconnectFromServer();
    return answer == taken ? HandOff::taken : HandOff::unanswered;
}

bool SingleInstance::listen()
{
    return server_.listen(name_);
}

void SingleInstance::read(QLocalSocket *socket)
{
    QByteArray &message = pending_[socket];
    message += socket->read(maxMessageBytes - message.size());
    const qsizetype end = message.indexOf(endOfMessage);
    if (end < 0) {
        if (message.size() >= maxMessageBytes)
            socket->abort();
        return;
    }
    const QStringList urls = decode(message.left(end));
    pending_.remove(socket);
    disconnect(socket, &QLocalSocket::readyRead, this, nullptr);
    onLaunch(urls);
    socket->write(taken);
    socket->disconnectFromServer();
}

} // namespace tender
