#include "RealServer.h"

#include "Await.h"

#include <QRegularExpression>

namespace tender::test {

RealServer::~RealServer()
{
    if (process_.state() == QProcess::NotRunning)
        return;
    process_.terminate();
    if (!process_.waitForFinished(5000))
        process_.kill();
}

bool RealServer::start()
{
    const QStringList arguments{"--listen",  "127.0.0.1:0", "--data",         data_.path(), "--dev-signin",
                                "--threads", "2",           "--identity-key", identityKey};
    process_.start(QStringLiteral(TENDER_SERVER_PATH), arguments);
    if (!process_.waitForStarted(5000)) {
        error_ = process_.errorString();
        return false;
    }
    while (!process_.canReadLine() && process_.waitForReadyRead(10'000)) {
    }
    const QString firstLine = QString::fromUtf8(process_.readLine());
    const auto match = QRegularExpression(QStringLiteral("listening on (http://[^ ]+)")).match(firstLine);
    if (!match.hasMatch()) {
        error_ = QStringLiteral("no address from tender-server: %1 %2")
                     .arg(firstLine, QString::fromUtf8(process_.readAllStandardError()));
        return false;
    }
    base_ = QUrl(match.captured(1));
    base_.setPath(QString());
    return true;
}

Endpoints RealServer::endpoints() const
{
    const QString root = base_.toString();
    return Endpoints{base_, base_, QUrl(root + "/identitytoolkit/v1/"), QUrl(root + "/securetoken/"),
                     QString::fromLatin1(identityKey), QStringLiteral("linux/test")};
}

ServerUser::ServerUser(const Endpoints &endpoints, const QString &name)
    : auth(clock, network, endpoints, dir.filePath("session.json"))
    , api(auth, network, endpoints)
    , stream(auth, clock, endpoints)
    , email(name + "@example.org")
{
    stream.onSignal = [this] { ++signals_; };
    stream.onOnline = [this](bool up) { online = up; };
}

std::unique_ptr<ServerUser> RealServer::signUp(const QString &name) const
{
    auto user = std::make_unique<ServerUser>(endpoints(), name);
    await(user->auth.signIn(user->email, "secret-" + name));
    user->stream.start();
    return user;
}

} // namespace tender::test
