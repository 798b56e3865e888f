#include "TestMain.h"
#include "Await.h"
#include "FakeService.h"
#include "ManualClock.h"
#include "RecordingNetwork.h"
#include "records/DecodingError.h"
#include "service/API.h"
#include "service/APIError.h"
#include "service/Auth.h"
#include "service/AuthError.h"
#include "service/SessionFile.h"
#include "service/TransportError.h"

#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>

using namespace tender;
using namespace tender::test;

namespace {

const QString tokenPath = "/securetoken/v1/token";

FakeReply tokenReply(const QString &idToken)
{
    return FakeReply::json(200, {{"id_token", idToken}, {"refresh_token", "rt"}, {"expires_in", "3600"}});
}

template<typename T>
std::optional<APIError> apiErrorOf(QCoro::Task<T> task)
{
    try {
        await(std::move(task));
    } catch (const APIError &error) {
        return error;
    }
    return std::nullopt;
}

} // namespace

class ApiTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    FakeService service;
    RecordingNetwork network;
    ManualClock clock;
    std::unique_ptr<Auth> auth;
    std::unique_ptr<API> api;

private slots:
    void init()
    {
        service.reset();
        network.sent.clear();
        SessionFile::write(dir.filePath("session.json"), Session{"u", std::nullopt, "rt"});
        auth = std::make_unique<Auth>(clock, network, service.endpoints(), dir.filePath("session.json"));
        api = std::make_unique<API>(*auth, network, service.endpoints());
        service.on("POST", tokenPath, tokenReply("t1"));
    }

    void requestCarriesTokenClientAndBody()
    {
        service.on("PATCH", "/v1/contacts/a%20b", FakeReply{200, "{}"});
        await(api->request("PATCH", "v1/contacts/a b", QJsonObject{{"label", "Аня"}}));
        const RecordedRequest patch = service.requests("PATCH", "/v1/contacts/a%20b").value(0);
        QCOMPARE(patch.header("authorization"), QByteArray("Bearer t1"));
        QCOMPARE(patch.header("x-client"), QByteArray("linux/test"));
        QCOMPARE(patch.header("content-type"), QByteArray("application/json"));
        QCOMPARE(patch.json(), (QJsonObject{{"label", "Аня"}}));

        service.on("DELETE", "/v1/me", FakeReply{204, {}});
        await(api->request("DELETE", "v1/me"));
        const RecordedRequest remove = service.requests("DELETE", "/v1/me").value(0);
        QVERIFY(!remove.headers.contains("content-type"));
        QVERIFY(remove.body.isEmpty());

        for (const QNetworkRequest &sent : network.sent)
            QCOMPARE(sent.transferTimeout(), 60'000);
    }

    void unauthorizedIsRetriedOnceWithAFreshToken()
    {
        service.on("GET", "/v1/me", FakeReply{401, {}});
        service.on("GET", "/v1/me", FakeReply::json(200, {{"uid", "u"}, {"invite_url", "http://x/i/A"}}));
        service.on("POST", tokenPath, tokenReply("t2"));
        QCOMPARE(await(api->me()).invite_url, QString("http://x/i/A"));
        const auto calls = service.requests("GET", "/v1/me");
        QCOMPARE(calls.size(), 2);
        QCOMPARE(calls[0].header("authorization"), QByteArray("Bearer t1"));
        QCOMPARE(calls[1].header("authorization"), QByteArray("Bearer t2"));

        service.reset();
        service.on("GET", "/v1/contacts", FakeReply::json(401, {{"error", "bad token"}}));
        service.on("POST", tokenPath, tokenReply("t3"));
        const auto error = apiErrorOf(api->contacts());
        QVERIFY(error);
        QCOMPARE(error->status(), 401);
        QCOMPARE(error->message(), QString("bad token"));
        QCOMPARE(error->description(), QString("Сервер не ответил, попробуй ещё раз"));
        QCOMPARE(service.requests("GET", "/v1/contacts").size(), 2);
    }

    void errorMessageIsTheErrorString_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty") << QByteArray() << "";
        QTest::newRow("not json") << QByteArray("<html>oops</html>") << "";
        QTest::newRow("array") << QByteArray("[\"error\"]") << "";
        QTest::newRow("number") << QByteArray("{\"error\": 5}") << "";
        QTest::newRow("object") << QByteArray("{\"error\": {\"message\": \"x\"}}") << "";
        QTest::newRow("string") << QByteArray("{\"error\": \"not an invite code\"}") << "not an invite code";
    }
    void errorMessageIsTheErrorString()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, message);
        service.on("POST", "/v1/contacts", FakeReply{400, body});
        const auto error = apiErrorOf(api->addContact("ABCDE", "x", false));
        QVERIFY(error);
        QCOMPARE(error->message(), message);
    }

    void descriptionsFollowStatusAndExactText_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("description");
        QTest::newRow("own") << 400 << "that is your own invite" << "Это твоя собственная ссылка";
        QTest::newRow("code") << 400 << "not an invite code" << "Не похоже на ссылку-приглашение";
        QTest::newRow("full") << 400 << "too many contacts" << "В списке уже 200 человек";
        QTest::newRow("capitalised") << 400 << "Too many contacts" << "Сервер не ответил, попробуй ещё раз";
        QTest::newRow("trailing space") << 400 << "too many contacts " << "Сервер не ответил, попробуй ещё раз";
        QTest::newRow("404") << 404 << "too many contacts" << "Не нашли";
        QTest::newRow("409") << 409 << "" << "Уже есть в списке";
        QTest::newRow("429") << 429 << "" << "Слишком много попыток, попробуй через час";
        QTest::newRow("0") << 0 << "" << "Сервер не ответил, попробуй ещё раз";
        QTest::newRow("500") << 500 << "" << "Сервер не ответил, попробуй ещё раз";
    }
    void descriptionsFollowStatusAndExactText()
    {
        QFETCH(int, status);
        QFETCH(QString, message);
        QFETCH(QString, description);
        QCOMPARE(APIError(status, message).description(), description);
    }

    void onlyTwoHundredsSucceed()
    {
        for (int status : {199, 300}) {
            service.on("POST", "/v1/events", FakeReply{status, {}});
            const auto error = apiErrorOf(api->signal("c1"));
            QVERIFY2(error && error->status() == status, qPrintable(QString::number(status)));
        }
        service.on("POST", "/v1/events", FakeReply{204, {}});
        await(api->signalAnyone());
        QCOMPARE(service.requests("POST", "/v1/events").last().json(),
                 (QJsonObject{{"type", "signal"}, {"to", QJsonObject{{"anyone", true}}}}));
        service.on("GET", "/v1/devices", FakeReply{204, {}});
        QVERIFY_THROWS_EXCEPTION(DecodingError, await(api->devices()));
    }

    void typedCallsSendTheirBodies()
    {
        service.on("POST", "/v1/devices", FakeReply::json(200, {{"device", QJsonObject{{"id", "d"}, {"name", "Лампа"}, {"capabilities", QJsonArray{"receive"}}}}, {"token", "secret"}}));
        const Created created = await(api->addDevice("Лампа", {"receive", "send"}));
        QCOMPARE(created.token, QString("secret"));
        QCOMPARE(service.requests("POST", "/v1/devices").value(0).json(),
                 (QJsonObject{{"name", "Лампа"}, {"kind", "custom"}, {"capabilities", QJsonArray{"receive", "send"}}}));

        service.on("POST", "/v1/contacts", FakeReply::json(200, {{"id", "c"}, {"label", "Аня"}, {"position", 4}}));
        QCOMPARE(await(api->addContact("abcde-fghjk", "Аня", true)).position, 4);
        QCOMPARE(service.requests("POST", "/v1/contacts").value(0).json(),
                 (QJsonObject{{"code", "abcde-fghjk"}, {"label", "Аня"}, {"close", true}}));
    }

    void signedOutSendsNothing()
    {
        auth->signOut();
        QVERIFY_THROWS_EXCEPTION(AuthError, await(api->me()));
        QCOMPARE(service.requests().size(), 0);
    }

    void transportFailuresHaveTheirOwnWords()
    {
        await(auth->token());
        service.on("GET", "/v1/me", FakeReply{200, {}, 0, true});
        try {
            await(api->me());
            QFAIL("a dropped connection succeeded");
        } catch (const TransportError &error) {
            QVERIFY(!error.description().isEmpty());
            QVERIFY(error.description() != APIError(0, {}).description());
        }

        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        Endpoints nowhere = service.endpoints();
        nowhere.apiBase = QUrl(QString("http://127.0.0.1:%1").arg(closed.serverPort()));
        closed.close();
        API offline(*auth, network, nowhere);
        try {
            await(offline.me());
            QFAIL("a refused connection succeeded");
        } catch (const TransportError &error) {
            QCOMPARE(error.kind(), TransportError::Kind::NoConnection);
            QCOMPARE(error.description(), QString("Нет связи с сервером, проверь интернет"));
        }
    }

    void hugeAnswersAreCutOff()
    {
        service.on("GET", "/v1/contacts", FakeReply{200, QByteArray(9 * 1024 * 1024, ' ')});
        try {
            await(api->contacts());
            QFAIL("a 9 MiB answer was read");
        } catch (const TransportError &error) {
            QCOMPARE(error.kind(), TransportError::Kind::TooLarge);
        }
    }
};

TENDER_TEST_GUILESS_MAIN(ApiTest)
#include "ApiTest.moc"
