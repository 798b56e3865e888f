#include "shell/SingleInstance.h"

#include <QLocalSocket>

#include <unistd.h>

namespace tender {

namespace {

constexpr int waitMs = 2000;
constexpr qint64 maxMessageBytes = 1024 * 1024;

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
            connect(socket, &QLocalSocket::readChannelFinished, this, [this, socket] { read(socket); });
        }
    });
}

bool SingleInstance::handOff(const QStringList &urls)
{
    QLocalSocket socket;
    socket.setSocketOptions(QLocalSocket::AbstractNamespaceOption);
    socket.connectToServer(name_);
    if (!socket.waitForConnected(waitMs))
        return false;
    socket.write(urls.join(u'\n').toUtf8());
    socket.flush();
    socket.disconnectFromServer();
    return socket.state() == QLocalSocket::UnconnectedState || socket.waitForDisconnected(waitMs);
}

bool SingleInstance::listen()
{
    return server_.listen(name_);
}

void SingleInstance::read(QLocalSocket *socket)
{
    const QByteArray message = socket->read(maxMessageBytes);
    QStringList urls;
    for (const QString &line : QString::fromUtf8(message).split(u'\n', Qt::SkipEmptyParts))
        urls << line.trimmed();
    if (!urls.isEmpty())
        onUrls(urls);
}

} // namespace tender
