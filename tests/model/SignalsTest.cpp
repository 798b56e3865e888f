#include "ModelHarness.h"
#include "records/Palette.h"

using namespace tender;
using namespace tender::test;
using namespace std::chrono_literals;

using Play = RecordingOverlay::Play;

// Signals sent from this app, and those it receives and shows or holds back.
class SignalsTest : public QObject {
    Q_OBJECT

    static inline const Contact anna{"c1", "Аня", 0, std::nullopt};
    static inline const Contact boris{"c2", "Борис", 1, std::nullopt};
    std::unique_ptr<ModelHarness> h;

    // Signals sent from it get `events` first (the fake's replies queue up).
    TestModel &loadedModel(FakeReply events = FakeReply{204, {}})
    {
        TestModel &model = h->makeLoadedModel({anna, boris});
        h->service.on("POST", "/v1/events", events);
        return model;
    }

    int shown() const { return int(h->overlay->plays.size()); }
    // Whether a signal arriving now is shown.
    bool shows()
    {
        const int before = shown();
        h->model().receive();
        return shown() > before;
    }

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
        h->reduceMotion.set(true);
        model.send(boris);
        QVERIFY(h->awaitRequests("POST", "/v1/events", 2));
        QCOMPARE(h->service.requests("POST", "/v1/events")[1].json(),
                 (QJsonObject{{"type", "signal"}, {"to", QJsonObject{{"contact", "c2"}}}}));
        h->clock.advance(1999ms);
        QCOMPARE(model.sent(), QString("c2"));
        h->clock.advance(1ms);
        expectProperties(model, {{"sent", ""}, {"problem", ""}});
        QCOMPARE(h->defaults.dateDictionary("lastSent")->value("c2"), second);

        // Each send echoes in the person's colour, without sound or icon flash; calm under reduced motion
        // or with the calm setting.
        QCOMPARE(h->overlay->plays, (std::vector<Play>{{Palette::all[0].mainColor(), Overlay::warm, 40, false},
                                                      {Palette::all[6].mainColor(), Overlay::warm, 40, true}}));
        QVERIFY(h->sound.played.isEmpty());
        QVERIFY(h->received.isEmpty());
        h->reduceMotion.set(false);
        model.setCalm(true);
        model.send(anna);
        QVERIFY(h->overlay->plays.back().calm);

        // Signals from the stream pass the gate.
        model.setMinGap(0);
        for (int i = 0; i < 2; ++i)
            h->service.last()->sendText(R"({"type":"event","event":{"type":"signal","v":1}})");
        QTRY_COMPARE(h->received.size(), 2);
        QCOMPARE(shown(), 5);
    }

    void aFailedSendClearsOnlyItsOwnMarkAndKeepsTheTime()
    {
        FakeReply slowFailure = FakeReply::json(500, {{"error", "busy"}});
        slowFailure.delayMs = 200;
        TestModel &model = loadedModel(slowFailure);
        h->service.on("POST", "/v1/events", FakeReply{204, {}});
        h->service.on("POST", "/v1/events", FakeReply::json(500, {}));
        model.send(anna);
        model.send(boris);
        QTRY_COMPARE(model.problem(), QString("Не улетело, проверь интернет"));
        QCOMPARE(model.sent(), QString("c2")); // the late failure leaves the newer mark alone

        h->clock.advance(60s);
        model.send(boris);
        QVERIFY(h->awaitRequests("POST", "/v1/events", 3));
        QCOMPARE(model.sent(), std::nullopt);
        QCOMPARE(model.otherContacts().first().id, QString("c2"));
        QCOMPARE(h->defaults.dateDictionary("lastSent")->value("c2"), h->clock.now());
        QCOMPARE(h->overlay->plays.size(), size_t(3)); // the echoes stay shown
        QVERIFY(model.signedIn());

        // One that finds the session ended signs out.
        h->service.on("POST", "/v1/events", FakeReply{401, {}});
        h->service.on("POST", FakeService::tokenPath, FakeReply::identityError("TOKEN_EXPIRED"));
        model.send(anna);
        QTRY_VERIFY(!model.signedIn());
        expectProperties(model, {{"problem", "Нужно войти заново"}, {"sent", ""}});
    }

    void aSignalToAnyoneGoesOutOncePerHour()
    {
        TestModel &model = loadedModel(FakeReply{.status = 204, .delayMs = 100});
        h->reduceMotion.set(true);
        QCOMPARE(model.anyoneWait(h->clock.now()), QVariant()); // never sent
        model.sendToAnyone();
        QVERIFY(model.anyoneSending());
        model.sendToAnyone(); // one in flight already
        QTRY_VERIFY(!model.anyoneSending());
        QCOMPARE(h->service.requests("POST", "/v1/events").size(), 1);
        QCOMPARE(h->service.requests("POST", "/v1/events")[0].json()["to"].toObject(), (QJsonObject{{"anyone", true}}));
        QCOMPARE(model.anyoneSentAt(), h->clock.now());
        QCOMPARE(h->defaults.date("anyoneSentAt"), h->clock.now());
        // Whole minutes are counted; a view's "now" from its last tick may be older than the send (-10 s).
        const QDateTime sentAt = h->clock.now();
        for (const auto &[after, wait] : std::initializer_list<std::pair<int, QVariant>>{
                 {3600, {}}, {3599, 1}, {3540, 1}, {3539, 2}, {0, 60}, {-10, 60}})
            QCOMPARE((std::pair{after, model.anyoneWait(sentAt.addSecs(after))}), (std::pair{after, wait}));

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

        // Refused as too soon: wait most of the hour, without a message or an echo.
        h->service.on("POST", "/v1/events", FakeReply::json(429, {{"error", "too many"}}));
        model.sendToAnyone();
        QTRY_VERIFY(!model.anyoneSending());
        QCOMPARE(model.anyoneWait(h->clock.now()), QVariant(58));
        QCOMPARE(h->defaults.date("anyoneSentAt"), h->clock.now().addSecs(-120));
        QCOMPARE(model.problem(), std::nullopt);
        QCOMPARE(h->overlay->plays.size(), size_t(1));
    }

    void aShownSignalGlowsFlashesAndPurrs()
    {
        TestModel &model = h->makeModel();
        model.setMyColor(3);
        model.setEmojiCount(12);
        model.setSound(true);
        model.receive();
        const QColor mine = Palette::all[3].mainColor();
        QCOMPARE(h->overlay->plays, (std::vector<Play>{{mine, Overlay::warm, 12, false}}));
        QCOMPARE(h->received, QList{mine});
        QCOMPARE(h->sound.played, (QList<std::pair<QString, float>>{{"Purr", 0.35f}}));

        // Without sound the glow and the flash still come.
        model.setSound(false);
        h->clock.advance(1s);
        model.receive();
        QCOMPARE((QList{shown(), int(h->received.size()), int(h->sound.played.size())}), (QList{2, 2, 1}));

        // The colour index wraps both ways.
        model.setMyColor(13);
        QCOMPARE(model.signalColor(), Palette::all[1].mainColor());
        model.setMyColor(-1);
        h->clock.advance(1s);
        model.receive();
        QCOMPARE(h->received.last(), QColor(0x7E, 0x8C, 0x99));
    }

    // The mirror is asked first and settles it; the full screen only when it is needed.
    void presentationsKeepSignalsQuiet_data()
    {
        QTest::addColumn<bool>("quiet");
        QTest::addColumn<bool>("mirrored");
        QTest::addColumn<bool>("fullScreen");
        QTest::addColumn<QList<int>>("counts"); // shown, mirror asked, full screen asked
        QTest::newRow("mirrored") << true << true << true << QList{0, 1, 0};
        QTest::newRow("full screen") << true << false << true << QList{0, 1, 1};
        QTest::newRow("neither") << true << false << false << QList{1, 1, 1};
        QTest::newRow("not kept quiet") << false << true << true << QList{1, 0, 0};
    }
    void presentationsKeepSignalsQuiet()
    {
        QFETCH(bool, quiet);
        TestModel &model = h->makeModel();
        model.setQuietWhenPresenting(quiet);
        QFETCH(bool, mirrored);
        QFETCH(bool, fullScreen);
        h->presenting.isMirrored = mirrored;
        h->presenting.isFullScreen = fullScreen;
        model.receive();
        QTEST((QList{shown(), h->presenting.mirroredAsked, h->presenting.fullScreenAsked}), "counts");
    }

    // The preview ignores the gate; neither it nor a dropped signal starts a gap.
    void thePreviewIgnoresTheGateWhichCountsFromTheLastShownSignal()
    {
        TestModel &model = h->makeModel();
        model.setMinGap(60);
        model.setSound(true);
        model.pause(PauseLength::Indefinite);
        h->presenting.isMirrored = true;
        model.playEffect();
        const int played = int(h->sound.played.size());
        // shown, flashed, purred, presenting asked
        QCOMPARE((QList{shown(), int(h->received.size()), played, h->presenting.mirroredAsked}),
                 (QList{1, 1, 1, 0}));
        h->presenting.isMirrored = false;
        QVERIFY(!shows());
        model.unpause();
        QVERIFY(shows());
        h->clock.advance(59900ms);
        QVERIFY(!shows());
        h->clock.advance(100ms);
        QVERIFY(shows());

        // Signals every second with a gap of 5 show at 0, 5 and 10 s; a clock moved back then
        // holds them until the gap since the last shown one has passed.
        model.setMinGap(5);
        const QDateTime start = h->clock.now().addSecs(3600);
        QList<int> shownAt;
        for (const int second : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, -50, 14, 15}) {
            h->clock.setNow(start.addSecs(second));
            if (shows())
                shownAt << second;
        }
        QCOMPARE(shownAt, (QList{0, 5, 10, 15}));
    }
};

TENDER_TEST_GUILESS_MAIN(SignalsTest)
#include "SignalsTest.moc"
