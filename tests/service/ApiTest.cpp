#include "ModelHarness.h"
#include "records/DecodingError.h"
#include "service/API.h"
#include "service/APIError.h"
#include "service/AuthError.h"
#include "service/TransportError.h"

#include <QTcpServer>

using namespace tender;
using namespace tender::test;

class ApiTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ModelHarness> h;
    API *api = nullptr; // the signed-in model's

private slots:
    void init()
    {
        h = std::make_unique<ModelHarness>();
        h->saveSession();
        api = &h->makeModel().api();
    }
    void cleanup() { h.reset(); }

    void requestsCarryTokenClientAndBodyAndA401IsRetriedOnce()
    {
        h->service.on("PATCH", "/v1/contacts/a%20b", FakeReply{200, "{}"});
        await(api->request("PATCH", "v1/contacts/a b", QJsonObject{{"label", "Аня"}}));
        const RecordedRequest patch = h->service.requests("PATCH", "/v1/contacts/a%20b").value(0);
        QCOMPARE((QByteArrayList{patch.header("authorization"), patch.header("x-client"),
                                 patch.header("content-type")}),
                 (QByteArrayList{"Bearer token", "linux/test", "application/json"}));
        QCOMPARE(patch.json(), (QJsonObject{{"label", "Аня"}}));

        h->service.on("DELETE", "/v1/me", FakeReply{204, {}});
        await(api->request("DELETE", "v1/me"));
        const RecordedRequest remove = h->service.requests("DELETE", "/v1/me").value(0);
        QVERIFY(!remove.headers.contains("content-type"));
        QVERIFY(remove.body.isEmpty());

        QCOMPARE(h->service.requests().size(), 3); // the refresh, PATCH and DELETE

        // A 401 is retried once, with a fresh token.
        h->service.on("GET", "/v1/me", FakeReply{401, {}});
        h->service.on("GET", "/v1/me", FakeReply::json(200, {{"uid", "u"}, {"invite_url", "http://x/i/A"}}));
        h->service.on("POST", FakeService::tokenPath, FakeReply::token("t2"));
        QCOMPARE(await(api->me()).invite_url, QString("http://x/i/A"));
        const auto calls = h->service.requests("GET", "/v1/me");
        QCOMPARE(calls.size(), 2);
        QCOMPARE(calls[1].header("authorization"), QByteArray("Bearer t2"));

        h->service.on("GET", "/v1/contacts", FakeReply::json(401, {{"error", "bad token"}}));
        h->service.on("POST", FakeService::tokenPath, FakeReply::token("t3"));
        const auto error = failureOf<APIError>(api->contacts());
        QVERIFY(error);
        QCOMPARE((QStringList{QString::number(error->status()), error->message(), error->description()}),
                 (QStringList{"401", "bad token", "Сервер не ответил, попробуй ещё раз"}));
        QCOMPARE(h->service.requests("GET", "/v1/contacts").size(), 2);

        for (const QNetworkRequest &sent : h->network.sent)
            QCOMPARE(sent.transferTimeout(), 60'000);

        // Signed out, nothing more is sent.
        const qsizetype sent = h->service.requests().size();
        h->model().auth().signOut();
        QVERIFY_THROWS_EXCEPTION(AuthError, await(api->me()));
        QCOMPARE(h->service.requests().size(), sent);
    }

    void errorMessagesAndTheirDescriptions()
    {
        const std::pair<QByteArray, QString> bodies[] = {
            {"", ""}, {"<html>oops</html>", ""}, {"[\"error\"]", ""}, {"{\"error\": 5}", ""},
            {"{\"error\": {\"message\": \"x\"}}", ""},
            {"{\"error\": \"not an invite code\"}", "not an invite code"},
        };
        for (const auto &[body, message] : bodies) {
            h->service.on("POST", "/v1/contacts", FakeReply{400, body});
            const auto error = failureOf<APIError>(api->addContact("ABCDE", "x", false));
            QCOMPARE((std::pair{body, error ? error->message() : "succeeded"}), (std::pair{body, message}));
        }

        const QString server = "Сервер не ответил, попробуй ещё раз";
        const std::tuple<int, QString, QString> rows[] = { // status, message, description
            {400, "that is your own invite", "Это твоя собственная ссылка"},
            {400, "not an invite code", "Не похоже на ссылку-приглашение"},
            {400, "too many contacts", "В списке уже 200 человек"},
            {400, "Too many contacts", server},
            {400, "too many contacts ", server},
            {404, "too many contacts", "Не нашли"},
            {409, "", "Уже есть в списке"},
            {429, "", "Слишком много попыток, попробуй через час"},
            {0, "", server},
            {500, "", server},
        };
        for (const auto &[status, message, description] : rows)
            QCOMPARE((std::tuple{status, message, APIError(status, message).description()}),
                     (std::tuple{status, message, description}));
    }

    void typedCallsSendTheirBodiesAndOnlyTwoHundredsSucceed()
    {
        for (int status : {199, 300}) {
            h->service.on("POST", "/v1/events", FakeReply{status, {}});
            const auto error = failureOf<APIError>(api->signal("c1"));
            QVERIFY2(error && error->status() == status, qPrintable(QString::number(status)));
        }
        h->service.on("POST", "/v1/events", FakeReply{204, {}});
        await(api->signalAnyone());
        QCOMPARE(h->service.requests("POST", "/v1/events").last().json(),
                 (QJsonObject{{"type", "signal"}, {"to", QJsonObject{{"anyone", true}}}}));
        h->service.on("GET", "/v1/devices", FakeReply{204, {}});
        QVERIFY_THROWS_EXCEPTION(DecodingError, await(api->devices()));

        const QJsonObject lamp{{"id", "d"}, {"name", "Лампа"}, {"capabilities", QJsonArray{"receive"}}};
        h->service.on("POST", "/v1/devices", FakeReply::json(200, {{"device", lamp}, {"token", "secret"}}));
        QCOMPARE(await(api->addDevice("Лампа", {"receive", "send"})).token, QString("secret"));
        QCOMPARE(h->service.requests("POST", "/v1/devices").value(0).json(),
                 (QJsonObject{{"name", "Лампа"}, {"kind", "custom"}, {"capabilities", QJsonArray{"receive", "send"}}}));

        h->service.on("POST", "/v1/contacts", FakeReply::json(200, Contact{"c", "Аня", 4, {}}.toJson()));
        QCOMPARE(await(api->addContact("abcde-fghjk", "Аня", true)).position, 4);
        QCOMPARE(h->service.requests("POST", "/v1/contacts").value(0).json(),
                 (QJsonObject{{"code", "abcde-fghjk"}, {"label", "Аня"}, {"close", true}}));
    }

    void transportFailuresHaveTheirOwnWordsAndHugeAnswersAreCutOff()
    {
        h->service.on("GET", "/v1/me", FakeReply{200, {}, 0, true});
        const auto dropped = failureOf<TransportError>(api->me());
        QVERIFY(dropped);
        QVERIFY(!dropped->description().isEmpty());
        QVERIFY(dropped->description() != APIError(0, {}).description());

        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        Endpoints nowhere = h->service.endpoints();
        nowhere.apiBase = QUrl(QString("http://127.0.0.1:%1").arg(closed.serverPort()));
        closed.close();
        const auto refused = failureOf<TransportError>(API(h->model().auth(), h->network, nowhere).me());
        QVERIFY(refused);
        QCOMPARE(refused->kind(), TransportError::Kind::NoConnection);
        QCOMPARE(refused->description(), QString("Нет связи с сервером, проверь интернет"));

        h->service.on("GET", "/v1/contacts", FakeReply{200, QByteArray(9 * 1024 * 1024, ' ')});
        const auto huge = failureOf<TransportError>(api->contacts());
        QVERIFY(huge);
        QCOMPARE(huge->kind(), TransportError::Kind::TooLarge);
    }
};

TENDER_TEST_GUILESS_MAIN(ApiTest)
#include "ApiTest.moc"
