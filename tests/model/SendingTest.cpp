#include "TestMain.h"
#include "ModelHarness.h"
#include "records/Palette.h"

#include <QtTest>

using namespace tender;
using namespace tender::test;
using namespace std::chrono_literals;

namespace {

const Contact anna{"c1", "Аня", 0, std::nullopt};
const Contact boris{"c2", "Борис", 1, std::nullopt};
using Play = RecordingOverlay::Play;

} // namespace

class SendingTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ModelHarness> h;

    // Signals sent from it get `events` first (the fake's replies queue up).
    TestModel &loadedModel(FakeReply events = FakeReply{204, {}})
    {
        TestModel &model = h->makeLoadedModel({anna, boris});
        h->service.on("POST", "/v1/events", events);
        return model;
    }

    bool awaitSignals(qsizetype count) { return h->awaitRequests("POST", "/v1/events", count); }

private slots:
    void init() { h = std::make_unique<ModelHarness>(); }
    void cleanup() { h.reset(); }

    void sentMarkClearsTwoSecondsAfterTheLastSend()
    {
        TestModel &model = loadedModel();
        model.setContactColors({{"c2", 6}});
        model.send(anna);
        QCOMPARE(model.sent(), QString("c1"));
        h->clock.advance(1s);
        const QDateTime second = h->clock.now();
        model.send(boris);
        QVERIFY(awaitSignals(2));
        QCOMPARE(h->service.requests("POST", "/v1/events")[1].json(),
                 (QJsonObject{{"type", "signal"}, {"to", QJsonObject{{"contact", "c2"}}}}));
        h->clock.advance(1999ms);
        QCOMPARE(model.sent(), QString("c2"));
        h->clock.advance(1ms);
        QCOMPARE(model.sent(), std::nullopt);
        QCOMPARE(model.problem(), std::nullopt);
        QCOMPARE(h->defaults.dateDictionary("lastSent")->value("c2"), second);

        // Each send echoes in the person's colour, without sound or icon flash.
        QCOMPARE(h->overlay->plays, (std::vector<Play>{{Palette::all[0].mainColor(), Overlay::warm, 40, false},
                                                      {Palette::all[6].mainColor(), Overlay::warm, 40, false}}));
        QVERIFY(h->sound.played.isEmpty());
        QVERIFY(h->received.isEmpty());
    }

    void aFailedSendClearsTheMarkAndKeepsTheTime()
    {
        TestModel &model = loadedModel(FakeReply::json(500, {{"error", "busy"}}));
        h->clock.advance(60s);
        model.send(boris);
        QTRY_COMPARE(model.problem(), QString("Не улетело, проверь интернет"));
        QCOMPARE(model.sent(), std::nullopt);
        QCOMPARE(model.otherContacts().first().id, QString("c2"));
        QCOMPARE(h->defaults.dateDictionary("lastSent")->value("c2"), h->clock.now());
        QCOMPARE(h->overlay->plays.size(), size_t(1)); // the echo stays shown
        QVERIFY(model.signedIn());
    }

    void aLateFailureLeavesANewerMarkAlone()
    {
        FakeReply slowFailure = FakeReply::json(500, {{"error", "busy"}});
        slowFailure.delayMs = 200;
        TestModel &model = loadedModel(slowFailure);
        h->service.on("POST", "/v1/events", FakeReply{204, {}});
        model.send(anna);
        model.send(boris);
        QTRY_COMPARE(model.problem(), QString("Не улетело, проверь интернет"));
        QCOMPARE(model.sent(), QString("c2"));
    }

    void aSendAfterTheSessionEndedSignsOut()
    {
        TestModel &model = loadedModel(FakeReply{401, {}});
        h->service.on("POST", "/securetoken/v1/token", FakeReply::identityError("TOKEN_EXPIRED"));
        model.send(anna);
        QTRY_VERIFY(!model.signedIn());
        QCOMPARE(model.problem(), QString("Нужно войти заново"));
        QCOMPARE(model.sent(), std::nullopt);
    }

    void anyoneWaitCountsWholeMinutes()
    {
        TestModel &model = h->makeModel();
        QCOMPARE(model.anyoneWait(h->clock.now()), QVariant());
        const QDateTime sentAt = h->clock.now();
        model.setAnyoneSentAt(sentAt);
        QCOMPARE(model.anyoneWait(sentAt.addSecs(3600)), QVariant());
        QCOMPARE(model.anyoneWait(sentAt.addSecs(3599)), QVariant(1));
        QCOMPARE(model.anyoneWait(sentAt.addSecs(3540)), QVariant(1));
        QCOMPARE(model.anyoneWait(sentAt.addSecs(3539)), QVariant(2));
        QCOMPARE(model.anyoneWait(sentAt.addSecs(1)), QVariant(60));
        // A view's "now" from its last tick may be older than the send.
        QCOMPARE(model.anyoneWait(sentAt.addSecs(-10)), QVariant(60));
    }

    void aSignalToAnyoneGoesOutOncePerHour()
    {
        FakeReply slow{204, {}};
        slow.delayMs = 100;
        TestModel &model = loadedModel(slow);
        h->reduceMotion.set(true);
        model.sendToAnyone();
        QVERIFY(model.anyoneSending());
        model.sendToAnyone(); // one in flight already
        QTRY_VERIFY(!model.anyoneSending());
        QCOMPARE(h->service.requests("POST", "/v1/events").size(), 1);
        QCOMPARE(h->service.requests("POST", "/v1/events")[0].json()["to"].toObject(), (QJsonObject{{"anyone", true}}));
        QCOMPARE(model.anyoneSentAt(), h->clock.now());
        QCOMPARE(h->defaults.date("anyoneSentAt"), h->clock.now());
        QCOMPARE(model.anyoneWait(h->clock.now()), QVariant(60));

        QCOMPARE(h->overlay->plays, (std::vector<Play>{{QColor(0xF2, 0xC4, 0x6B), Overlay::stars, 40, true}}));

        h->clock.advance(3599s);
        model.sendToAnyone(); // still waiting
        QVERIFY(!model.anyoneSending());
        QTest::qWait(50);
        QCOMPARE(h->service.requests("POST", "/v1/events").size(), 1);
        QCOMPARE(model.problem(), std::nullopt);

        h->clock.advance(1s);
        h->service.on("POST", "/v1/events", FakeReply::json(500, {}));
        model.sendToAnyone();
        QTRY_VERIFY(!model.anyoneSending());
        QCOMPARE(model.problem(), QString("Не улетело, проверь интернет"));
        QCOMPARE(h->overlay->plays.size(), size_t(1));
    }

    void tooManyRequestsMeansWaitAlmostAnHour()
    {
        TestModel &model = loadedModel(FakeReply::json(429, {{"error", "too many"}}));
        model.setAnyoneSentAt(h->clock.now().addSecs(-7200));
        model.sendToAnyone();
        QTRY_VERIFY(!model.anyoneSending());
        QCOMPARE(model.anyoneWait(h->clock.now()), QVariant(58));
        QCOMPARE(h->defaults.date("anyoneSentAt"), h->clock.now().addSecs(-120));
        QCOMPARE(model.problem(), std::nullopt);
        QVERIFY(h->overlay->plays.empty());
    }

    void reduceMotionMakesTheEchoCalm()
    {
        TestModel &model = loadedModel();
        h->reduceMotion.set(true);
        model.send(anna);
        QVERIFY(h->overlay->plays.back().calm);
        h->reduceMotion.set(false);
        model.send(anna);
        QVERIFY(!h->overlay->plays.back().calm);
        model.setCalm(true);
        model.send(anna);
        QVERIFY(h->overlay->plays.back().calm);
        QVERIFY(awaitSignals(3));
    }
};

TENDER_TEST_GUILESS_MAIN(SendingTest)
#include "SendingTest.moc"
