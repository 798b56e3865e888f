#include "TestMain.h"
#include "Await.h"
#include "RealServer.h"
#include "platform/SystemClock.h"
#include "records/InviteCode.h"
#include "service/API.h"
#include "service/APIError.h"
#include "service/Auth.h"
#include "service/Stream.h"

#include <QWebSocket>
#include <QtTest>

using namespace tender;
using namespace tender::test;

namespace {

// One person with the app's own classes: identity, REST and the live stream.
struct Person {
    Person(SystemClock &clock, QNetworkAccessManager &network, const Endpoints &endpoints, const QString &name)
        : auth(clock, network, endpoints, dir.filePath("session.json"))
        , api(auth, network, endpoints)
        , stream(auth, clock, endpoints)
        , email(name + "@example.org")
    {
        stream.onSignal = [this] { ++signals_; };
        stream.onOnline = [this](bool up) { online = up; };
    }

    QTemporaryDir dir;
    Auth auth;
    API api;
    Stream stream;
    QString email;
    int signals_ = 0;
    bool online = false;
};

} // namespace

// Two people and a device on the real service, end to end.
class TwoPeopleTest : public QObject {
    Q_OBJECT

    RealServer server;
    SystemClock clock;
    QNetworkAccessManager network;
    std::unique_ptr<Person> anna, boris;

    std::unique_ptr<Person> signUp(const QString &name)
    {
        auto person = std::make_unique<Person>(clock, network, server.endpoints(), name);
        await(person->auth.signIn(person->email, "secret-" + name));
        person->stream.start();
        return person;
    }

    void annaSignalsBoris() { await(anna->api.signal(await(anna->api.contacts()).first().id)); }

private slots:
    void initTestCase()
    {
        QVERIFY2(server.start(), qPrintable(server.error()));
        anna = signUp("anna");
        boris = signUp("boris");
        QTRY_VERIFY(anna->online && boris->online);

        const QString link = await(boris->api.me()).invite_url;
        QVERIFY(link.startsWith(server.base().toString() + "/i/"));
        const Contact added = await(anna->api.addContact(*inviteID(" " + link + " "), "Борис", true));
        QCOMPARE(await(anna->api.contacts()), QList<Contact>{added});
    }

    void aHeartArrivesOnceWithoutItsSender()
    {
        annaSignalsBoris();
        QTRY_COMPARE(boris->signals_, 1);
        QTest::qWait(300);
        QCOMPARE(boris->signals_, 1);
        QCOMPARE(anna->signals_, 0);
    }

    void aRandomHeartReachesTheOnlyOtherListener()
    {
        const int before = anna->signals_;
        await(boris->api.signalAnyone());
        QTRY_COMPARE(anna->signals_, before + 1);
        const auto second = failureOf<APIError>(boris->api.signalAnyone()); // within the hour
        QVERIFY(second);
        QCOMPARE(second->status(), 429);
    }

    void aPairedDeviceLightsUpAndSends()
    {
        const Created lamp = await(boris->api.addDevice("Лампа", {"receive", "send"}));
        QCOMPARE(await(boris->api.devices()).size(), 1);

        QWebSocket device;
        QStringList frames;
        connect(&device, &QWebSocket::textMessageReceived, this, [&](const QString &text) { frames << text; });
        QUrl url = server.base();
        url.setScheme("ws");
        url.setPath("/v1/device/stream");
        QNetworkRequest request(url);
        request.setRawHeader("Authorization", "Bearer " + lamp.token.toUtf8());
        device.open(request);
        QTRY_VERIFY(frames.contains(R"({"type":"ready"})"));

        annaSignalsBoris();
        QTRY_VERIFY(frames.contains(R"({"type":"event","event":{"type":"signal","v":1}})"));

        // Unpairing revokes the token at once and closes its stream.
        await(boris->api.request("DELETE", "v1/devices/" + lamp.device.id));
        QTRY_COMPARE(device.state(), QAbstractSocket::UnconnectedState);
    }
};

TENDER_TEST_GUILESS_MAIN(TwoPeopleTest)
#include "TwoPeopleTest.moc"
