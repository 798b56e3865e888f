#include "FakeClipboard.h"
#include "FakeLoginItem.h"
#include "FakeNetworkPathMonitor.h"
#include "FakePreferencesStore.h"
#include "FakePresenting.h"
#include "FakeReduceMotion.h"
#include "FakeSoundPlayer.h"
#include "FakeUrlOpener.h"
#include "Await.h"
#include "RealServer.h"
#include "RecordingOverlay.h"
#include "model/AppModel.h"
#include "platform/SystemClock.h"
#include "service/API.h"
#include "service/Auth.h"

#include <QNetworkAccessManager>
#include <QTemporaryDir>
#include <QtTest>

using namespace tender;
using namespace tender::test;

namespace {

// One person's whole app model on the real service, with the desktop faked.
struct App {
    App(SystemClock &clock, QNetworkAccessManager &network, const Endpoints &endpoints)
    {
        auto recording = std::make_unique<RecordingOverlay>();
        overlay = recording.get();
        model = std::make_unique<AppModel>(AppServices{clock, network, endpoints, dir.filePath("session.json"),
                                                       defaults, loginItem, clipboard, browser, sound, presenting,
                                                       reduceMotion, networkPath, std::move(recording)});
    }

    QTemporaryDir dir;
    FakePreferencesStore defaults;
    FakeLoginItem loginItem;
    FakeClipboard clipboard;
    FakeUrlOpener browser;
    FakeSoundPlayer sound;
    FakePresenting presenting;
    FakeReduceMotion reduceMotion;
    FakeNetworkPathMonitor networkPath;
    RecordingOverlay *overlay = nullptr;
    std::unique_ptr<AppModel> model;
};

} // namespace

// Two people's apps on the real service: a click on one screen glows on the other.
class TwoModelsTest : public QObject {
    Q_OBJECT

private slots:
    void aClickGlowsOnTheOtherScreenInItsOwnColour()
    {
        RealServer server;
        QVERIFY2(server.start(), qPrintable(server.error()));
        SystemClock clock;
        QNetworkAccessManager network;
        App sender(clock, network, server.endpoints());
        App receiver(clock, network, server.endpoints());
        receiver.model->setMyColor(4);
        QList<QColor> flashes;
        receiver.model->onReceive = [&](QColor color) { flashes << color; };

        for (App *app : {&sender, &receiver}) {
            await(app->model->auth().signIn(app == &sender ? "s@example.org" : "r@example.org", "secret1"));
            app->model->didSignIn();
        }
        QTRY_VERIFY(receiver.model->inviteURL().has_value());
        QTRY_VERIFY(receiver.model->online());
        await(sender.model->api().addContact(*receiver.model->inviteURL(), "Получатель", false));
        QTRY_COMPARE(sender.model->contacts().size(), 1); // the service's "sync" reloads the list

        sender.model->send(sender.model->contacts().first());
        QCOMPARE(sender.overlay->plays.size(), 1); // the sender's own echo, at once
        QTRY_COMPARE(receiver.overlay->plays.size(), size_t(1));
        QTest::qWait(300);
        QCOMPARE(receiver.overlay->plays.size(), size_t(1));
        QCOMPARE(receiver.overlay->plays[0].color, receiver.model->signalColor());
        QCOMPARE(receiver.model->signalColor(), QColor("#9B83DD"));
        QCOMPARE(flashes, QList<QColor>{QColor("#9B83DD")});
        QCOMPARE(sender.model->problem(), std::nullopt);
    }
};

QTEST_GUILESS_MAIN(TwoModelsTest)
#include "TwoModelsTest.moc"
