#include "TestMain.h"
#include "Await.h"
#include "ModelHarness.h"
#include "RealServer.h"
#include "service/API.h"
#include "service/Auth.h"

#include <QtTest>

using namespace tender;
using namespace tender::test;

// Two people's apps on the real service: a click on one screen glows on the other.
class TwoModelsTest : public QObject {
    Q_OBJECT

private slots:
    void aClickGlowsOnTheOtherScreenInItsOwnColour()
    {
        RealServer server;
        QVERIFY2(server.start(), qPrintable(server.error()));
        ModelHarness senderSide, receiverSide;
        AppModel &sender = senderSide.makeModel(server.endpoints());
        AppModel &receiver = receiverSide.makeModel(server.endpoints());
        receiver.setMyColor(4);

        await(sender.auth().signIn("s@example.org", "secret1"));
        sender.didSignIn();
        await(receiver.auth().signIn("r@example.org", "secret1"));
        receiver.didSignIn();
        QTRY_VERIFY(receiver.inviteURL().has_value());
        QTRY_VERIFY(receiver.online());
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

TENDER_TEST_GUILESS_MAIN(TwoModelsTest)
#include "TwoModelsTest.moc"
