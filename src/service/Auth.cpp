#include "platform/Clock.h"
#include "service/Auth.h"
#include "service/AuthError.h"
#include "service/Http.h"
#include "service/SessionFile.h"

#include <QFile>
#include <QJsonDocument>
#include <QPointer>
#include <QUrlQuery>
#include <QUuid>

namespace tender {

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 refreshMarginMs = 300'000;
constexpr qint64 defaultLifetimeSeconds = 3600;

std::optional<QString> stringAt(const QJsonObject &object, QLatin1StringView key)
{
    const QJsonValue value = object.value(key);
    return value.isString() ? std::optional(value.toString()) : std::nullopt;
}

QString requireString(const QJsonObject &object, QLatin1StringView key)
{
    auto value = stringAt(object, key);
    if (!value)
        throw AuthError::server(u"BAD_RESPONSE"_s);
    return *value;
}

bool startsWithAny(const QString &message, std::initializer_list<const char *> prefixes)
{
    return std::any_of(prefixes.begin(), prefixes.end(),
                       [&](const char *prefix) { return message.startsWith(QLatin1StringView(prefix)); });
}

// First occurrence wins; an item without a value is "".
QHash<QString, QString> queryItems(const QUrl &url)
{
    QHash<QString, QString> items;
    for (const auto &[name, value] : QUrlQuery(url).queryItems(QUrl::FullyDecoded))
        items.insert(name, items.value(name, value));
    return items;
}

} // namespace

Auth::Auth(Clock &clock, QNetworkAccessManager &network, Endpoints endpoints, QString sessionFile, QObject *parent)
    : QObject(parent)
    , clock_(clock)
    , network_(network)
    , endpoints_(std::move(endpoints))
    , session_(SessionFile::read(sessionFile))
    , expiresAt_(QDateTime::fromMSecsSinceEpoch(0, Qt::UTC))
    , file_(std::move(sessionFile))
{
}

QCoro::Task<QString> Auth::token(bool forceRefresh)
{
    if (!forceRefresh && idToken_ && clock_.now().msecsTo(expiresAt_) > refreshMarginMs)
        co_return *idToken_;
    if (refreshing_) {
        const SharedTask<QString> running = *refreshing_;
        co_return co_await running;
    }
    const SharedTask<QString> started(refresh());
    refreshing_ = started;
    QPointer<Auth> self(this);
    auto clear = [&] {
        if (self && refreshing_ == started)
            refreshing_.reset();
    };
    try {
        QString token = co_await started;
        clear();
        co_return token;
    } catch (...) {
        clear();
        throw;
    }
}

QCoro::Task<QString> Auth::refresh()
{
    if (!session_)
        throw AuthError::signedOut();
    QUrl url = Endpoints::join(endpoints_.tokenBase, u"v1/token"_s);
    url.setQuery(u"key="_s + endpoints_.identityKey);
    QNetworkRequest request = Http::request(url);
    request.setHeader(QNetworkRequest::ContentTypeHeader, "application/x-www-form-urlencoded"_ba);
    const QByteArray body = "grant_type=refresh_token&refresh_token=" + QUrl::toPercentEncoding(session_->refreshToken);

    const QString uid = session_->uid;
    QPointer<Auth> self(this);
    const QJsonObject answer = co_await call(request, body);
    QString idToken = requireString(answer, "id_token"_L1);
    const QString refreshToken = requireString(answer, "refresh_token"_L1);
    // Signed out or switched accounts meanwhile: this answer belongs to a session that is gone.
    if (!self || !session_ || session_->uid != uid)
        co_return idToken;
    setToken(idToken, answer.value("expires_in"_L1));
    if (refreshToken != session_->refreshToken) {
        session_->refreshToken = refreshToken;
        save();
    }
    co_return idToken;
}

void Auth::setToken(QString token, const QJsonValue &expiresIn)
{
    bool ok = false;
    qint64 seconds = expiresIn.isString() ? expiresIn.toString().trimmed().toLongLong(&ok) : 0;
    if (!ok)
        seconds = defaultLifetimeSeconds;
    idToken_ = std::move(token);
    expiresAt_ = clock_.now().addSecs(seconds);
}

QCoro::Task<> Auth::emailCall(QString kind, QString email, QString password)
{
    QPointer<Auth> self(this);
    const QJsonObject body{{"email"_L1, email}, {"password"_L1, password}, {"returnSecureToken"_L1, true}};
    const QJsonObject answer = co_await post(u"accounts:"_s + kind, body);
    if (!self)
        co_return;
    const QString uid = requireString(answer, "localId"_L1);
    QString idToken = requireString(answer, "idToken"_L1);
    const QString refreshToken = requireString(answer, "refreshToken"_L1);
    adopt(Session{uid, stringAt(answer, "email"_L1).value_or(email), refreshToken});
    setToken(std::move(idToken), answer.value("expiresIn"_L1));
}

QCoro::Task<> Auth::signIn(QString email, QString password)
{
    try {
        co_await emailCall(u"signInWithPassword"_s, email, password);
        co_return;
    } catch (const AuthError &error) {
        if (error.kind() != AuthError::Kind::Server
            || !startsWithAny(error.message(), {"EMAIL_NOT_FOUND", "INVALID_LOGIN_CREDENTIALS"}))
            throw;
    }
    // The account may not exist yet.
    try {
        co_await emailCall(u"signUp"_s, email, password);
    } catch (const AuthError &error) {
        if (error.kind() == AuthError::Kind::Server && error.message().startsWith(u"EMAIL_EXISTS"))
            throw AuthError::server(u"INVALID_PASSWORD"_s);
        throw;
    }
}

QCoro::Task<> Auth::sendPasswordReset(QString email)
{
    const QJsonObject body{{"requestType"_L1, "PASSWORD_RESET"_L1}, {"email"_L1, email}};
    co_await post(u"accounts:sendOobCode"_s, body);
}

QUrl Auth::googleSignInURL()
{
    const QString state = QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
    googleState_ = state;
    QUrl url = Endpoints::join(endpoints_.webBase, u"signin"_s);
    url.setQuery(u"state="_s + state);
    return url;
}

QCoro::Task<> Auth::completeGoogle(QUrl url)
{
    const QHash<QString, QString> items = queryItems(url);
    if (!googleState_ || !items.contains(u"state"_s) || items.value(u"state"_s) != *googleState_)
        throw AuthError::server(u"BAD_CALLBACK"_s);
    const QString uid = items.value(u"uid"_s);
    const QString refreshToken = items.value(u"rt"_s);
    if (uid.isEmpty() || refreshToken.isEmpty())
        throw AuthError::server(u"BAD_CALLBACK"_s);
    googleState_.reset();
    const auto email = items.contains(u"email"_s) ? std::optional(items.value(u"email"_s)) : std::nullopt;
    adopt(Session{uid, email, refreshToken});
    co_await token(true);
}

void Auth::signOut()
{
    session_.reset();
    idToken_.reset();
    expiresAt_ = QDateTime::fromMSecsSinceEpoch(0, Qt::UTC);
    QFile::remove(file_);
}

QCoro::Task<QJsonObject> Auth::post(QString path, QJsonObject body)
{
    QUrl url = Endpoints::join(endpoints_.identityBase, path);
    url.setQuery(u"key="_s + endpoints_.identityKey);
    QNetworkRequest request = Http::request(url);
    request.setHeader(QNetworkRequest::ContentTypeHeader, "application/json"_ba);
    co_return co_await call(request, QJsonDocument(body).toJson(QJsonDocument::Compact));
}

QCoro::Task<QJsonObject> Auth::call(QNetworkRequest request, QByteArray body)
{
    const Http::Answer answer = co_await Http::send(network_, request, "POST"_ba, body);
    const QJsonObject object = QJsonDocument::fromJson(answer.body).object();
    if (answer.status >= 200 && answer.status <= 299)
        co_return object;
    const QJsonValue message = object.value("error"_L1).toObject().value("message"_L1);
    throw AuthError::server(message.isString() ? message.toString() : u"HTTP_"_s + QString::number(answer.status));
}

void Auth::adopt(Session session)
{
    session_ = std::move(session);
    idToken_.reset();
    expiresAt_ = QDateTime::fromMSecsSinceEpoch(0, Qt::UTC);
    save();
}

void Auth::save()
{
    if (session_)
        SessionFile::write(file_, *session_);
}

} // namespace tender
