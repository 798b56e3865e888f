#include "TestMain.h"
#include "ModelHarness.h"
#include "records/Palette.h"

#include <QtTest>

using namespace tender;
using namespace tender::test;
using namespace std::chrono_literals;

class SignalGateTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ModelHarness> h;

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

    void aShownSignalGlowsFlashesAndPurrs()
    {
        TestModel &model = h->makeModel();
        model.setMyColor(3);
        model.setEmojiCount(12);
        model.setSound(true);
        model.receive();
        const QColor mine = Palette::all[3].mainColor();
        QCOMPARE(h->overlay->plays, (std::vector<RecordingOverlay::Play>{{mine, Overlay::warm, 12, false}}));
        QCOMPARE(h->received, QList{mine});
        QCOMPARE(h->sound.played, (QList<std::pair<QString, float>>{{"Purr", 0.35f}}));

        // Without sound the glow and the flash still come.
        model.setSound(false);
        h->clock.advance(1s);
        model.receive();
        QCOMPARE(shown(), 2);
        QCOMPARE(h->received.size(), 2);
        QCOMPARE(h->sound.played.size(), 1);
    }

    void colourIndexWrapsBothWays()
    {
        TestModel &model = h->makeModel();
        model.setMyColor(13);
        QCOMPARE(model.signalColor(), Palette::all[1].mainColor());
        model.setMyColor(-1);
        model.receive();
        QCOMPARE(h->received, QList{QColor(0x7E, 0x8C, 0x99)});
    }

    void aPauseDropsWithoutStartingAGap()
    {
        TestModel &model = h->makeModel();
        model.setMinGap(60);
        model.pause(PauseLength::Hour);
        QVERIFY(!shows());
        model.unpause();
        QVERIFY(shows());
    }

    // The mirror is asked first and settles it; the full screen only when it is needed.
    void presentationsKeepSignalsQuiet_data()
    {
        QTest::addColumn<bool>("quiet");
        QTest::addColumn<bool>("mirrored");
        QTest::addColumn<bool>("fullScreen");
        QTest::addColumn<int>("shown");
        QTest::addColumn<QList<int>>("asked"); // mirror, full screen
        QTest::newRow("mirrored") << true << true << true << 0 << QList{1, 0};
        QTest::newRow("full screen") << true << false << true << 0 << QList{1, 1};
        QTest::newRow("neither") << true << false << false << 1 << QList{1, 1};
        QTest::newRow("not kept quiet") << false << true << true << 1 << QList{0, 0};
    }
    void presentationsKeepSignalsQuiet()
    {
        QFETCH(bool, quiet);
        QFETCH(int, shown);
        QFETCH(QList<int>, asked);
        TestModel &model = h->makeModel();
        model.setQuietWhenPresenting(quiet);
        QFETCH(bool, mirrored);
        QFETCH(bool, fullScreen);
        h->presenting.isMirrored = mirrored;
        h->presenting.isFullScreen = fullScreen;
        model.receive();
        QCOMPARE(this->shown(), shown);
        QCOMPARE((QList{h->presenting.mirroredAsked, h->presenting.fullScreenAsked}), asked);
    }

    void theGapCountsFromTheLastShownSignal()
    {
        TestModel &model = h->makeModel();
        model.setMinGap(60);
        QVERIFY(shows());
        h->clock.advance(59900ms);
        QVERIFY(!shows());
        h->clock.advance(100ms);
        QVERIFY(shows());

        // Signals every second with a gap of 5 show at 0, 5 and 10 s.
        model.setMinGap(5);
        h->clock.advance(1h);
        QList<int> shownAt;
        for (int second = 0; second <= 11; ++second, h->clock.advance(1s))
            if (shows())
                shownAt << second;
        QCOMPARE(shownAt, (QList{0, 5, 10}));
    }

    void aClockMovedBackHoldsSignalsUntilTheGapHasPassed()
    {
        TestModel &model = h->makeModel();
        model.setMinGap(5);
        const QDateTime shownAt = h->clock.now();
        QVERIFY(shows());
        QList<int> shownOffsets;
        for (const int offset : {-60, 4, 5}) {
            h->clock.setNow(shownAt.addSecs(offset));
            if (shows())
                shownOffsets << offset;
        }
        QCOMPARE(shownOffsets, QList{5});
    }

    void thePreviewIgnoresTheGate()
    {
        TestModel &model = h->makeModel();
        model.setMinGap(60);
        model.setSound(true);
        model.pause(PauseLength::Indefinite);
        h->presenting.isMirrored = true;
        model.playEffect();
        QCOMPARE(shown(), 1);
        QCOMPARE(h->received.size(), 1);
        QCOMPARE(h->sound.played.size(), 1);
        QCOMPARE(h->presenting.mirroredAsked, 0);

        // The preview leaves no gap behind.
        model.unpause();
        h->presenting.isMirrored = false;
        QVERIFY(shows());
    }

    void signalsFromTheStreamPassTheGate()
    {
        TestModel &model = h->makeLoadedModel({});
        model.setMinGap(0);
        for (int i = 0; i < 2; ++i)
            h->service.last()->sendText(R"({"type":"event","event":{"type":"signal","v":1}})");
        QTRY_COMPARE(shown(), 2);
        QCOMPARE(h->received.size(), 2);
    }
};

TENDER_TEST_GUILESS_MAIN(SignalGateTest)
#include "SignalGateTest.moc"
