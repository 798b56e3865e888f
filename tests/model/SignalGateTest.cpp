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

    size_t shown() const { return h->overlay->plays.size(); }

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
        QCOMPARE(shown(), size_t(1));
        const RecordingOverlay::Play &play = h->overlay->plays[0];
        QCOMPARE(play.color, Palette::all[3].mainColor());
        QCOMPARE(play.emoji, Overlay::warm);
        QCOMPARE(play.emoji.size(), 49);
        QCOMPARE(play.count, 12);
        QVERIFY(!play.calm);
        QCOMPARE(h->received, QList<QColor>{Palette::all[3].mainColor()});
        QCOMPARE(h->sound.played, (QList<std::pair<QString, float>>{{"Purr", 0.35f}}));

        // Without sound the glow and the flash still come.
        model.setSound(false);
        h->clock.advance(1s);
        model.receive();
        QCOMPARE(shown(), size_t(2));
        QCOMPARE(h->received.size(), 2);
        QCOMPARE(h->sound.played.size(), 1);
    }

    void colourIndexWrapsBothWays()
    {
        TestModel &model = h->makeModel();
        model.setMyColor(13);
        QCOMPARE(model.signalColor(), Palette::all[1].mainColor());
        model.setMyColor(-1);
        QCOMPARE(model.signalColor(), Palette::all[11].mainColor());
        model.receive();
        QCOMPARE(h->received, QList<QColor>{QColor(0x7E, 0x8C, 0x99)});
    }

    void aPauseDropsWithoutStartingAGap()
    {
        TestModel &model = h->makeModel();
        model.setMinGap(60);
        model.pause(PauseLength::Hour);
        model.receive();
        QCOMPARE(shown(), size_t(0));
        model.unpause();
        model.receive();
        QCOMPARE(shown(), size_t(1));
    }

    void presentationsKeepSignalsQuiet()
    {
        TestModel &model = h->makeModel();
        model.setMinGap(0);
        h->presenting.isMirrored = true;
        h->presenting.isFullScreen = true;
        model.receive();
        QCOMPARE(shown(), size_t(0));
        QCOMPARE(h->presenting.mirroredAsked, 1);
        QCOMPARE(h->presenting.fullScreenAsked, 0); // settled by the mirror check

        h->presenting.isMirrored = false;
        model.receive();
        QCOMPARE(shown(), size_t(0));
        QCOMPARE(h->presenting.fullScreenAsked, 1);

        h->presenting.isFullScreen = false;
        model.receive();
        QCOMPARE(shown(), size_t(1));

        model.setQuietWhenPresenting(false);
        h->presenting.isMirrored = true;
        h->presenting.isFullScreen = true;
        model.receive();
        QCOMPARE(shown(), size_t(2));
        QCOMPARE(h->presenting.mirroredAsked, 3);
        QCOMPARE(h->presenting.fullScreenAsked, 2);
    }

    void theGapCountsFromTheLastShownSignal()
    {
        TestModel &model = h->makeModel();
        model.setMinGap(60);
        model.receive();
        h->clock.advance(59900ms);
        model.receive();
        QCOMPARE(shown(), size_t(1));
        h->clock.advance(100ms);
        model.receive();
        QCOMPARE(shown(), size_t(2));

        // Signals every second with a gap of 5 show at 0, 5 and 10 s.
        model.setMinGap(5);
        h->clock.advance(1h);
        QList<int> shownAt;
        for (int second = 0; second <= 11; ++second) {
            const size_t before = shown();
            model.receive();
            if (shown() > before)
                shownAt << second;
            h->clock.advance(1s);
        }
        QCOMPARE(shownAt, (QList<int>{0, 5, 10}));
    }

    void aClockMovedBackHoldsSignalsUntilTheGapHasPassed()
    {
        TestModel &model = h->makeModel();
        model.setMinGap(5);
        const QDateTime shownAt = h->clock.now();
        model.receive();
        h->clock.setNow(shownAt.addSecs(-60));
        model.receive();
        h->clock.setNow(shownAt.addSecs(4));
        model.receive();
        QCOMPARE(shown(), size_t(1));
        h->clock.setNow(shownAt.addSecs(5));
        model.receive();
        QCOMPARE(shown(), size_t(2));
    }

    void thePreviewIgnoresTheGate()
    {
        TestModel &model = h->makeModel();
        model.setMinGap(60);
        model.setSound(true);
        model.pause(PauseLength::Indefinite);
        h->presenting.isMirrored = true;
        model.playEffect();
        QCOMPARE(shown(), size_t(1));
        QCOMPARE(h->received.size(), 1);
        QCOMPARE(h->sound.played.size(), 1);
        QCOMPARE(h->presenting.mirroredAsked, 0);

        // The preview leaves no gap behind.
        model.unpause();
        h->presenting.isMirrored = false;
        model.receive();
        QCOMPARE(shown(), size_t(2));
    }

    void signalsFromTheStreamPassTheGate()
    {
        TestModel &model = h->makeLoadedModel({});
        model.setMinGap(0);
        StreamPeer *peer = h->service.last();
        QVERIFY(peer);
        const QByteArray signal = R"({"type":"event","event":{"type":"signal","v":1}})";
        peer->sendText(signal);
        peer->sendText(signal);
        QTRY_COMPARE(shown(), size_t(2));
        QCOMPARE(h->received.size(), 2);
    }
};

TENDER_TEST_GUILESS_MAIN(SignalGateTest)
#include "SignalGateTest.moc"
