#pragma once

#include "service/Endpoints.h"
#include "service/Session.h"
#include "service/SharedTask.h"

#include <QCoroTask>
#include <QDateTime>
#include <QJsonObject>
#include <QObject>

class QNetworkAccessManager;
class QNetworkRequest;

namespace tender {

class Clock;

// The user's identity: e-mail and browser sign-in, the session file, and the
// short-lived identity token that every call to the service carries.
class Auth : public QObject {
    Q_OBJECT

public:
    Auth(Clock &clock, QNetworkAccessManager &network, Endpoints endpoints, QString sessionFile,
         QObject *parent = nullptr);

    const std::optional<Session> &session() const { return session_; }

    // A cached token while it has more than 300 s left; otherwise one refresh
    // shared by every caller that asks meanwhile.
    QCoro::Task<QString> token(bool forceRefresh = false);
    QCoro::Task<> signIn(QString email, QString password);
    QCoro::Task<> sendPasswordReset(QString email);
    QUrl googleSignInURL();
    QCoro::Task<> completeGoogle(QUrl url);
    void signOut();

private:
    QCoro::Task<QString> refresh();
    QCoro::Task<> emailCall(QString kind, QString email, QString password);
    QCoro::Task<QJsonObject> post(QString path, QJsonObject body);
    QCoro::Task<QJsonObject> call(QNetworkRequest request, QByteArray body);
    void adopt(Session session);
    void save();
    void setToken(QString token, const QJsonValue &expiresIn);

    Clock &clock_;
    QNetworkAccessManager &network_;
    const Endpoints endpoints_;
    std::optional<Session> session_;
    std::optional<QString> idToken_;
    QDateTime expiresAt_;
    std::optional<SharedTask<QString>> refreshing_;
    std::optional<QString> googleState_;
    const QString file_;
};

} // namespace tender
