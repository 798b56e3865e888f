#include "TestMain.h"
#include "ManualClock.h"
#include "SequenceRandom.h"
#include "presentation/QuickOverlay.h"

#include <QtGui>
#include <QtTest>

using namespace tender;
using namespace std::chrono_literals;

class OverlayWithoutScreensTest : public QObject {
    Q_OBJECT

private slots:
    void playStillSchedulesTheHide()
    {
        QVERIFY(QGuiApplication::screens().isEmpty());
        test::ManualClock clock;
        test::SequenceRandom random({0.5});
        QuickOverlay overlay(clock, random);
        QVERIFY(overlay.windows().empty());
        overlay.play(Qt::red, Overlay::warm, 40, false);
        QCOMPARE(random.drawn(), 0);
        QCOMPARE(clock.pendingCount(), 1);
        clock.advance(2900ms);
        QCOMPARE(clock.pendingCount(), 0);
    }
};

TENDER_TEST_MAIN(OverlayWithoutScreensTest)
#include "OverlayWithoutScreensTest.moc"
