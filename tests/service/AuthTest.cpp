#include "TestMain.h"
#include "Await.h"
#include "FakeService.h"
#include "ManualClock.h"
#include "service/Auth.h"
#include "service/AuthError.h"
#include "service/SessionFile.h"

#include <QNetworkAccessManager>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using namespace tender;
using namespace tender::test;
using namespace std::chrono_literals;

namespace {

const QString tokenPath = "/securetoken/v1/token";
const QString signInPath = "/identitytoolkit/v1/accounts:signInWithPassword";
const QString signUpPath = "/identitytoolkit/v1/accounts:signUp";

FakeReply tokenReply(const QString &idToken, const QString &refreshToken, std::optional<QString> expiresIn = "3600")
{
    QJsonObject body{{"id_token", idToken}, {"refresh_token", refreshToken}};
    if (expiresIn)
        body.insert("expires_in", *expiresIn);
    return FakeReply::json(200, body);
}

FakeReply accountReply(const QString &uid, std::optional<QString> email = std::nullopt)
{
    QJsonObject body{{"localId", uid}, {"idToken", "id-" + uid}, {"refreshToken", "rt-" + uid}, {"expiresIn", "3600"}};
    if (email)
        body.insert("email", *email);
    return FakeReply::json(200, body);
}

int modeOf(const QString &path)
{
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 07777) : -1;
}

QString descriptionOf(const std::function<QCoro::Task<>()> &call)
{
    try {
        await(call());
    } catch (const AuthError &error) {
        return error.description();
    }
    return "succeeded";
}

} // namespace

class AuthTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString file;
    FakeService service;
    QNetworkAccessManager network;
    ManualClock clock;

    std::unique_ptr<Auth> makeAuth() { return std::make_unique<Auth>(clock, network, service.endpoints(), file); }
    void saveSession(const QString &refreshToken = "rt-1")
    {
        QVERIFY(SessionFile::write(file, Session{"u1", QString("a@b.c"), refreshToken}));
    }

private slots:
    void init()
    {
        file = dir.filePath("session.json");
        QFile::remove(file);
        service.reset();
    }

    void tokenIsCachedUntilFiveMinutesBeforeExpiry()
    {
        saveSession();
        auto auth = makeAuth();
        service.on("POST", tokenPath, tokenReply("t1", "rt-1"));
        QCOMPARE(await(auth->token()), QString("t1"));
        const auto refresh = service.requests("POST", tokenPath).value(0);
        QCOMPARE(refresh.query.queryItemValue("key"), QString(FakeService::identityKey));
        QCOMPARE(refresh.header("content-type"), QByteArray("application/x-www-form-urlencoded"));
        QCOMPARE(refresh.body, QByteArray("grant_type=refresh_token&refresh_token=rt-1"));

        clock.advance(3600s - 301s);
        QCOMPARE(await(auth->token()), QString("t1"));
        QCOMPARE(service.requests("POST", tokenPath).size(), 1);

        service.on("POST", tokenPath, tokenReply("t2", "rt-1", std::nullopt));
        clock.advance(1s);
        QCOMPARE(await(auth->token()), QString("t2"));
        QCOMPARE(service.requests("POST", tokenPath).size(), 2);

        // Without "expires_in" the token lives an hour; a forced refresh ignores the cache.
        clock.advance(3600s - 301s);
        QCOMPARE(await(auth->token()), QString("t2"));
        QCOMPARE(await(auth->token(true)), QString("t2"));
        QCOMPARE(service.requests("POST", tokenPath).size(), 3);
    }

    void concurrentCallersShareOneRefresh()
    {
        saveSession();
        auto auth = makeAuth();
        FakeReply slow = tokenReply("shared", "rt-1");
        slow.delayMs = 100;
        service.on("POST", tokenPath, slow);

        QStringList tokens;
        auto ask = [&](bool force) -> QCoro::Task<> { tokens << co_await auth->token(force); };
        auto a = ask(false);
        auto b = ask(false);
        auto c = ask(false);
        auto forced = ask(true); // joins the refresh in flight instead of starting another
        QTRY_COMPARE(tokens.size(), 4);
        QCOMPARE(tokens, QStringList(4, "shared"));
        QCOMPARE(service.requests("POST", tokenPath).size(), 1);

        // A failed shared refresh fails every waiter, and the next call tries again.
        service.reset();
        service.on("POST", tokenPath, FakeReply::identityError("TOO_MANY_ATTEMPTS_TRY_LATER : wait"));
        int failures = 0;
        auto failing = [&]() -> QCoro::Task<> {
            try {
                co_await auth->token(true);
            } catch (const AuthError &error) {
                failures += !error.endsSession();
            }
        };
        auto f1 = failing();
        auto f2 = failing();
        QTRY_COMPARE(failures, 2);
        QCOMPARE(service.requests("POST", tokenPath).size(), 1);
        QVERIFY(auth->session().has_value());
        service.on("POST", tokenPath, tokenReply("again", "rt-1"));
        QCOMPARE(await(auth->token(true)), QString("again"));
    }

    void rotatedRefreshTokenRewritesTheFile()
    {
        saveSession();
        auto auth = makeAuth();
        // A marker the app never writes: it survives only if the file is left alone.
        QFile marker(file);
        QVERIFY(marker.open(QIODevice::WriteOnly));
        marker.write(R"({"uid":"u1","email":"a@b.c","refreshToken":"rt-1","marker":true})");
        marker.close();

        service.on("POST", tokenPath, tokenReply("t1", "rt-1"));
        await(auth->token());
        QVERIFY(SessionFile::read(file).has_value());
        QFile same(file);
        QVERIFY(same.open(QIODevice::ReadOnly));
        QVERIFY(same.readAll().contains("marker"));
        same.close();

        service.on("POST", tokenPath, tokenReply("t2", "rt-2"));
        await(auth->token(true));
        QCOMPARE(SessionFile::read(file)->refreshToken, QString("rt-2"));
        QCOMPARE(auth->session()->refreshToken, QString("rt-2"));
        QCOMPARE(modeOf(file), 0600);
    }

    void signInFallsBackToSignUp()
    {
        auto auth = makeAuth();
        service.on("POST", signInPath, FakeReply::identityError("EMAIL_NOT_FOUND"));
        service.on("POST", signUpPath, accountReply("new"));
        await(auth->signIn("new@b.c", "secret1"));
        QCOMPARE(auth->session(), (Session{"new", QString("new@b.c"), "rt-new"}));
        QCOMPARE(SessionFile::read(file), auth->session());
        QCOMPARE(service.requests("POST", signUpPath).value(0).json(),
                 (QJsonObject{{"email", "new@b.c"}, {"password", "secret1"}, {"returnSecureToken", true}}));
        // The token of the answer is used as it is: no refresh follows.
        QCOMPARE(await(auth->token()), QString("id-new"));
        QCOMPARE(service.requests("POST", tokenPath).size(), 0);
    }

    void wrongPasswordEndsAsInvalidPassword()
    {
        auto auth = makeAuth();
        service.on("POST", signInPath, FakeReply::identityError("INVALID_LOGIN_CREDENTIALS"));
        service.on("POST", signUpPath, FakeReply::identityError("EMAIL_EXISTS"));
        QCOMPARE(descriptionOf([&] { return auth->signIn("a@b.c", "wrong"); }), QString("Неверный пароль"));

        service.reset();
        service.on("POST", signInPath, FakeReply::identityError("INVALID_PASSWORD"));
        QCOMPARE(descriptionOf([&] { return auth->signIn("a@b.c", "wrong"); }), QString("Неверный пароль"));
        QCOMPARE(service.requests("POST", signUpPath).size(), 0);

        service.reset();
        service.on("POST", signInPath, FakeReply::identityError("EMAIL_NOT_FOUND"));
        service.on("POST", signUpPath, FakeReply::identityError("WEAK_PASSWORD : Password should be at least 6 characters"));
        QCOMPARE(descriptionOf([&] { return auth->signIn("a@b.c", "123"); }), QString("Пароль слишком простой"));

        service.reset();
        service.on("POST", signInPath, FakeReply::json(200, {{"localId", "u"}, {"idToken", "t"}}));
        QCOMPARE(descriptionOf([&] { return auth->signIn("a@b.c", "123456"); }), QString("Не получилось войти (BAD_RESPONSE)"));
        service.on("POST", signInPath, FakeReply{503, "<html>busy</html>"});
        QCOMPARE(descriptionOf([&] { return auth->signIn("a@b.c", "123456"); }), QString("Не получилось войти (HTTP_503)"));
        QVERIFY(!auth->session());
    }

    void googleCallbackIsChecked()
    {
        auto auth = makeAuth();
        const QString bad = "Вход не завершился, попробуй ещё раз";
        auto complete = [&](const QString &url) { return descriptionOf([&] { return auth->completeGoogle(QUrl(url)); }); };
        QCOMPARE(complete("tender://signin?state=X&uid=u&rt=r"), bad); // nothing pending

        const QUrl start = auth->googleSignInURL();
        QCOMPARE(start.path(), QString("/signin"));
        const QString state = QUrlQuery(start).queryItemValue("state");
        QVERIFY(QRegularExpression("^[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}$").match(state).hasMatch());

        QCOMPARE(complete("tender://signin?state=WRONG&uid=u&rt=r"), bad);
        QCOMPARE(complete("tender://signin?state=" + state + "&uid=u&rt="), bad);
        QCOMPARE(complete("tender://signin?state=" + state + "&rt=r"), bad);
        QCOMPARE(complete("tender://signin?uid=u&rt=r"), bad);
        QVERIFY(!auth->session());

        service.on("POST", tokenPath, tokenReply("t", "r"));
        QCOMPARE(complete("tender://signin?state=" + state + "&state=OTHER&uid=u9&rt=r&email=g%40b.c"), QString("succeeded"));
        QCOMPARE(auth->session(), (Session{"u9", QString("g@b.c"), "r"}));
        QCOMPARE(service.requests("POST", tokenPath).size(), 1);
        // The state is used up.
        QCOMPARE(complete("tender://signin?state=" + state + "&uid=u9&rt=r"), bad);
    }

    void signOutForgetsTheSession()
    {
        saveSession();
        auto auth = makeAuth();
        QVERIFY(auth->session());
        auth->signOut();
        QVERIFY(!QFile::exists(file));
        try {
            await(auth->token());
            QFAIL("a token while signed out");
        } catch (const AuthError &error) {
            QVERIFY(error.endsSession());
            QCOMPARE(error.description(), QString("Нужно войти заново"));
        }
        QCOMPARE(service.requests().size(), 0);
    }

    void refreshAnswerAfterSignOutIsNotKept()
    {
        saveSession();
        auto auth = makeAuth();
        FakeReply slow = tokenReply("late", "rt-9");
        slow.delayMs = 50;
        service.on("POST", tokenPath, slow);
        auto pending = auth->token();
        auth->signOut();
        QCOMPARE(await(std::move(pending)), QString("late"));
        QVERIFY(!auth->session());
        QVERIFY(!QFile::exists(file));
        QVERIFY_THROWS_EXCEPTION(AuthError, await(auth->token()));
    }

    void unreadableSessionFilesMeanSignedOut_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("signedIn");
        QTest::newRow("garbage") << QByteArray("\x01\xff not json") << false;
        QTest::newRow("partial") << QByteArray("{\"uid\":\"u1\",\"refreshTo") << false;
        QTest::newRow("array") << QByteArray("[]") << false;
        QTest::newRow("no refresh token") << QByteArray(R"({"uid":"u1"})") << false;
        QTest::newRow("email null") << QByteArray(R"({"uid":"u1","email":null,"refreshToken":"r"})") << true;
        QTest::newRow("no email") << QByteArray(R"({"uid":"u1","refreshToken":"r"})") << true;
    }
    void unreadableSessionFilesMeanSignedOut()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, signedIn);
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(content);
        out.close();
        auto auth = makeAuth();
        QCOMPARE(auth->session().has_value(), signedIn);
        if (signedIn)
            QCOMPARE(auth->session()->email, std::nullopt);
    }
};

TENDER_TEST_GUILESS_MAIN(AuthTest)
#include "AuthTest.moc"
