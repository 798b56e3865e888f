#include "Files.h"
#include "ModelHarness.h"
#include "service/AuthError.h"
#include "service/SessionFile.h"

#include <csignal>
#include <sys/resource.h>

using namespace tender;
using namespace tender::test;
using namespace std::chrono_literals;

namespace {

const QString tokenPath = FakeService::tokenPath;
const QString signInPath = FakeService::signInPath;
const QString signUpPath = FakeService::signUpPath;

const QFile::Permissions ownerOnly = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser;

QString descriptionOf(QCoro::Task<> call)
{
    const auto error = failureOf<AuthError>(std::move(call));
    return error ? error->description() : "succeeded";
}

} // namespace

// Signing in and keeping the session: the identity provider's answers, the token's life and the
// session's file.
class AuthTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ModelHarness> h;
    QString file;

private slots:
    void init()
    {
        h = std::make_unique<ModelHarness>();
        h->service.reset();
        file = h->sessionFile;
    }
    void cleanup() { h.reset(); }

    void tokenIsCachedUntilFiveMinutesBeforeExpiryAndARotatedOneIsSaved()
    {
        // A marker the app never writes: it survives only while the file is left alone.
        QVERIFY(writeFile(file, R"({"uid":"u1","email":"a@b.c","refreshToken":"rt","marker":true})"));
        auto auth = h->makeAuth();
        h->service.on("POST", tokenPath, FakeReply::token("t1"));
        QCOMPARE(await(auth->token()), QString("t1"));
        const auto refresh = h->service.requests("POST", tokenPath).value(0);
        QCOMPARE((QStringList{refresh.query.queryItemValue("key"), refresh.header("content-type"),
                              refresh.body}),
                 (QStringList{FakeService::identityKey, "application/x-www-form-urlencoded",
                              "grant_type=refresh_token&refresh_token=rt"}));

        h->clock.advance(3600s - 301s);
        QCOMPARE(await(auth->token()), QString("t1"));
        QCOMPARE(h->service.requests("POST", tokenPath).size(), 1);

        h->service.on("POST", tokenPath, FakeReply::json(200, {{"id_token", "t2"}, {"refresh_token", "rt"}}));
        h->clock.advance(1s);
        QCOMPARE(await(auth->token()), QString("t2"));
        QCOMPARE(h->service.requests("POST", tokenPath).size(), 2);

        // Without "expires_in" the token lives an hour; a forced refresh ignores the cache.
        h->clock.advance(3600s - 301s);
        QCOMPARE(await(auth->token()), QString("t2"));
        QCOMPARE(await(auth->token(true)), QString("t2"));
        QCOMPARE(h->service.requests("POST", tokenPath).size(), 3);
        QVERIFY(readFile(file).contains("marker"));

        h->service.on("POST", tokenPath, FakeReply::token("t3", "rt-2"));
        await(auth->token(true));
        QCOMPARE(SessionFile::read(file)->refreshToken, QString("rt-2"));
        QCOMPARE(auth->session()->refreshToken, QString("rt-2"));
        QCOMPARE(QFile::permissions(file), ownerOnly);
    }

    void concurrentCallersShareOneRefresh()
    {
        h->saveSession();
        auto auth = h->makeAuth();
        FakeReply slow = FakeReply::token("shared");
        slow.delayMs = 100;
        h->service.on("POST", tokenPath, slow);

        QStringList tokens;
        auto ask = [&](bool force) -> QCoro::Task<> {
            try {
                tokens << co_await auth->token(force);
            } catch (const AuthError &error) {
                tokens << (error.endsSession() ? "ended" : "failed");
            }
        };
        // The forced one joins the refresh in flight instead of starting another.
        const std::array asking{ask(false), ask(false), ask(false), ask(true)};
        QTRY_COMPARE(tokens.size(), 4);
        QCOMPARE(tokens, QStringList(4, "shared"));
        QCOMPARE(h->service.requests("POST", tokenPath).size(), 1);

        // A failed shared refresh fails every waiter, and the next call tries again.
        h->service.reset();
        h->service.on("POST", tokenPath, FakeReply::identityError("TOO_MANY_ATTEMPTS_TRY_LATER : wait"));
        tokens.clear();
        const std::array failing{ask(true), ask(true)};
        QTRY_COMPARE(tokens, QStringList(2, "failed"));
        QCOMPARE(h->service.requests("POST", tokenPath).size(), 1);
        QVERIFY(auth->session().has_value());
        h->service.on("POST", tokenPath, FakeReply::token("again"));
        QCOMPARE(await(auth->token(true)), QString("again"));
    }

    void signInFallsBackToSignUpSignOutForgetsAndTheBrowserCallbackIsChecked()
    {
        auto auth = h->makeAuth();
        h->service.on("POST", signInPath, FakeReply::identityError("EMAIL_NOT_FOUND"));
        h->service.on("POST", signUpPath, FakeReply::account("new"));
        await(auth->signIn("new@b.c", "secret1"));
        QCOMPARE(auth->session(), (Session{"new", QString("new@b.c"), "rt-new"}));
        QCOMPARE(SessionFile::read(file), auth->session());
        QCOMPARE(h->service.requests("POST", signUpPath).value(0).json(),
                 (QJsonObject{{"email", "new@b.c"}, {"password", "secret1"}, {"returnSecureToken", true}}));
        // The token of the answer is used as it is: no refresh follows.
        QCOMPARE(await(auth->token()), QString("id-new"));
        QCOMPARE(h->service.requests("POST", tokenPath).size(), 0);

        // Signing out forgets the session, also a refresh answered after it.
        FakeReply slow = FakeReply::token("late", "rt-9");
        slow.delayMs = 50;
        h->service.on("POST", tokenPath, slow);
        auto pending = auth->token(true);
        auth->signOut();
        QVERIFY(!QFile::exists(file));
        QCOMPARE(await(std::move(pending)), QString("late"));
        QVERIFY(!auth->session());
        QVERIFY(!QFile::exists(file));
        const auto error = failureOf<AuthError>(auth->token());
        QVERIFY(error && error->endsSession());
        QCOMPARE(error->description(), QString("Нужно войти заново"));
        QCOMPARE(h->service.requests().size(), 3);

        // A browser sign-in completes only with the state it was started with, once.
        h->service.reset();
        const QString bad = "Вход не завершился, попробуй ещё раз";
        auto complete = [&](const QString &url) { return descriptionOf(auth->completeGoogle(QUrl(url))); };
        QCOMPARE(complete("tender://signin?state=X&uid=u&rt=r"), bad); // nothing pending

        const QUrl start = auth->googleSignInURL();
        QCOMPARE(start.path(), QString("/signin"));
        const QString state = QUrlQuery(start).queryItemValue("state");
        QVERIFY(QRegularExpression("^[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}$").match(state).hasMatch());

        for (const QString &query : {QString("state=WRONG&uid=u&rt=r"), "state=" + state + "&uid=u&rt=",
                                     "state=" + state + "&rt=r", QString("uid=u&rt=r")})
            QVERIFY2(complete("tender://signin?" + query) == bad, qPrintable(query));
        QVERIFY(!auth->session());

        h->service.on("POST", tokenPath, FakeReply::token("t", "r"));
        QCOMPARE(complete("tender://signin?state=" + state + "&state=OTHER&uid=u9&rt=r&email=g%40b.c"), "succeeded");
        QCOMPARE(auth->session(), (Session{"u9", QString("g@b.c"), "r"}));
        QCOMPARE(h->service.requests("POST", tokenPath).size(), 1);
        // The state is used up.
        QCOMPARE(complete("tender://signin?state=" + state + "&uid=u9&rt=r"), bad);
    }

    // An unknown address, or one the provider will not name, goes on to sign up.
    void failedPasswordSignIns_data()
    {
        QTest::addColumn<FakeReply>("signIn");
        QTest::addColumn<FakeReply>("signUp");
        QTest::addColumn<QString>("description");
        QTest::addColumn<int>("signUps");
        const FakeReply exists = FakeReply::identityError("EMAIL_EXISTS");
        QTest::newRow("wrong password, combined message")
            << FakeReply::identityError("INVALID_LOGIN_CREDENTIALS") << exists << "Неверный пароль" << 1;
        QTest::newRow("wrong password") << FakeReply::identityError("INVALID_PASSWORD") << exists << "Неверный пароль" << 0;
        QTest::newRow("weak password") << FakeReply::identityError("EMAIL_NOT_FOUND")
                                       << FakeReply::identityError("WEAK_PASSWORD : Password should be at least 6 characters")
                                       << "Пароль слишком простой" << 1;
        QTest::newRow("no refresh token") << FakeReply::json(200, {{"localId", "u"}, {"idToken", "t"}}) << exists
                                          << "Не получилось войти (BAD_RESPONSE)" << 0;
        QTest::newRow("not the provider")
            << FakeReply{503, "<html>busy</html>"} << exists << "Не получилось войти (HTTP_503)" << 0;
    }
    void failedPasswordSignIns()
    {
        QFETCH(FakeReply, signIn);
        QFETCH(FakeReply, signUp);
        auto auth = h->makeAuth();
        h->service.on("POST", signInPath, signIn);
        h->service.on("POST", signUpPath, signUp);
        QTEST(descriptionOf(auth->signIn("a@b.c", "secret")), "description");
        QTEST(int(h->service.requests("POST", signUpPath).size()), "signUps");
        QVERIFY(!auth->session());
    }

    // What cannot be read means signed out; a missing or null email is no reason.
    void sessionFileReadsSafelyAndWritesOwnerOnlyAndWhole()
    {
        const std::pair<QByteArray, bool> files[] = {
            {"\x01\xff not json", false}, {"{\"uid\":\"u1\",\"refreshTo", false}, {"[]", false},
            {R"({"uid":"u1"})", false}, {R"({"uid":"u1","refreshToken":"r"})", true},
            {R"({"uid":"u1","email":null,"refreshToken":"r"})", true},
        };
        for (const auto &[content, signedIn] : files) {
            QVERIFY(writeFile(file, content));
            const auto session = h->makeAuth()->session();
            QCOMPARE((std::pair{content, session.has_value()}), (std::pair{content, signedIn}));
            QVERIFY(!session || !session->email);
        }

        const Session session{"u", std::nullopt, "r"};
        QVERIFY(SessionFile::write(file, session));
        QCOMPARE(QFile::permissions(file), ownerOnly);
        QCOMPARE(SessionFile::read(file), session);
        QCOMPARE(QJsonDocument::fromJson(readFile(file)).object(), (QJsonObject{{"uid", "u"}, {"refreshToken", "r"}}));

        const Session old{"u", QString("a@b.c"), "old"};
        QVERIFY(SessionFile::write(file, old));

        // The disk "fills up" halfway through the new file.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        const rlimit small{100, saved.rlim_max};
        setrlimit(RLIMIT_FSIZE, &small);
        const bool written = SessionFile::write(file, Session{"u", QString("a@b.c"), QString(5000, 'x')});
        setrlimit(RLIMIT_FSIZE, &saved);

        QVERIFY(!written);
        QCOMPARE(SessionFile::read(file), old);
        QCOMPARE(QDir(h->dir.path()).entryList(QDir::Files), QStringList{"session.json"});

        // A place that cannot hold a file fails quietly.
        QVERIFY(!SessionFile::write(file + "/session.json", old));
        QCOMPARE(SessionFile::read(file + "/session.json"), std::nullopt);
    }

    void errorDescriptions()
    {
        const QString failed = "Не получилось войти (%1)";
        const std::tuple<QString, QString, bool> rows[] = { // message, description, ends the session
            {"WEAK_PASSWORDS", failed.arg("WEAK_PASSWORDS"), false},
            {"INVALID_EMAIL", "Проверь адрес почты", false}, {"MISSING_EMAIL", "Проверь адрес почты", false},
            {"MISSING_PASSWORD", "Введи пароль", false},
            {"TOO_MANY_ATTEMPTS_TRY_LATER : later", "Слишком много попыток, попробуй чуть позже", false},
            {"USER_DISABLED", "Этот аккаунт отключён", true},
            {"", failed.arg(""), false}, {"token_expired", failed.arg("token_expired"), false},
            {"TOKEN_EXPIRED", failed.arg("TOKEN_EXPIRED"), true},
            {"USER_NOT_FOUND: gone", failed.arg("USER_NOT_FOUND:"), true},
            {"INVALID_REFRESH_TOKEN", failed.arg("INVALID_REFRESH_TOKEN"), true},
            {"INVALID_GRANT_TYPE", failed.arg("INVALID_GRANT_TYPE"), true},
        };
        for (const auto &[message, description, endsSession] : rows) {
            const AuthError error = AuthError::server(message);
            QCOMPARE((std::tuple{message, error.description(), error.endsSession()}),
                     (std::tuple{message, description, endsSession}));
        }
    }
};

TENDER_TEST_GUILESS_MAIN(AuthTest)
#include "AuthTest.moc"
