#include "ModelHarness.h"
#include "RealServer.h"
#include "records/InviteCode.h"
#include "service/APIError.h"

#include <QWebSocket>

using namespace tender;
using namespace tender::test;

// Two people and a device on the real service, end to end, with the app's classes and whole models.
class TwoPeopleTest : public QObject {
    Q_OBJECT

    RealServer server;
    std::unique_ptr<ServerUser> anna, boris;

private slots:
    void initTestCase()
    {
        QVERIFY2(server.start(), qPrintable(server.error()));
        anna = server.signUp("anna");
        boris = server.signUp("boris");
        QTRY_VERIFY(anna->online && boris->online);

        const QString link = await(boris->api.me()).invite_url;
        QVERIFY(link.startsWith(server.base().toString() + "/i/"));
        const Contact added = await(anna->api.addContact(*inviteID(" " + link + " "), "Борис", true));
        QCOMPARE(await(anna->api.contacts()), QList<Contact>{added});
    }

    void aRandomHeartReachesTheOnlyOtherListener()
    {
        await(boris->api.signalAnyone());
        QTRY_COMPARE(anna->signals_, 1);
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
        connect(&device, &QWebSocket::textMessageReceived, [&](const QString &text) { frames << text; });
        QNetworkRequest request(QUrl("ws://" + server.base().authority() + "/v1/device/stream"));
        request.setRawHeader("Authorization", "Bearer " + lamp.token.toUtf8());
        device.open(request);
        QTRY_VERIFY(frames.contains(R"({"type":"ready"})"));

        await(anna->api.signal(await(anna->api.contacts()).first().id));
        QTRY_VERIFY(frames.contains(R"({"type":"event","event":{"type":"signal","v":1}})"));

        // Unpairing revokes the token at once and closes its stream.
        await(boris->api.request("DELETE", "v1/devices/" + lamp.device.id));
        QTRY_COMPARE(device.state(), QAbstractSocket::UnconnectedState);
    }

    // A click on one screen glows on the other in the receiver's own colour.
    void aClickGlowsOnTheOtherScreenInItsOwnColour()
    {
        ModelHarness senderSide, receiverSide;
        AppModel &sender = senderSide.makeModel(server.endpoints());
        AppModel &receiver = receiverSide.makeModel(server.endpoints());
        receiver.setMyColor(4);

        await(sender.auth().signIn("s@example.org", "secret1"));
        sender.didSignIn();
        await(receiver.auth().signIn("r@example.org", "secret1"));
        receiver.didSignIn();
        QTRY_VERIFY(receiver.inviteURL().has_value() && receiver.online());
        await(sender.api().addContact(*receiver.inviteURL(), "Получатель", false));
        QTRY_COMPARE(sender.contacts().size(), 1); // the service's "sync" reloads the list

        sender.send(sender.contacts().first());
        QCOMPARE(senderSide.overlay->plays.size(), size_t(1)); // the sender's own echo, at once
        QTRY_COMPARE(receiverSide.overlay->plays.size(), size_t(1));
        QTest::qWait(300);
        QCOMPARE(receiverSide.overlay->plays.size(), size_t(1)); // once, and not back to its sender
        QCOMPARE(senderSide.overlay->plays.size(), size_t(1));
        QCOMPARE(receiverSide.overlay->plays[0].color, QColor("#9B83DD"));
        QCOMPARE(receiverSide.received, QList<QColor>{QColor("#9B83DD")});
        QCOMPARE(sender.problem(), std::nullopt);
    }
};

TENDER_TEST_GUILESS_MAIN(TwoPeopleTest)
#include "TwoPeopleTest.moc"
