#include "TestMain.h"
#include "ManualClock.h"
#include "OverlayScene.h"
#include "SequenceRandom.h"
#include "presentation/QuickOverlay.h"

#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <qpa/qplatformscreen.h>
#include <qpa/qwindowsysteminterface.h>

using namespace tender;
using namespace std::chrono_literals;
using tender::test::ManualClock;
using tender::test::SequenceRandom;

namespace {

// A monitor plugged in while the app runs.
class PluggedScreen final : public QPlatformScreen {
public:
    QRect geometry() const override { return {2080, 0, 640, 480}; }
    int depth() const override { return 32; }
    QImage::Format format() const override { return QImage::Format_ARGB32_Premultiplied; }
};

} // namespace

class QuickOverlayTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ManualClock> clock;
    std::unique_ptr<SequenceRandom> random;
    std::unique_ptr<QuickOverlay> overlay;

    void makeOverlay(QList<double> draws)
    {
        overlay.reset();
        clock = std::make_unique<ManualClock>();
        random = std::make_unique<SequenceRandom>(std::move(draws));
        overlay = std::make_unique<QuickOverlay>(*clock, *random);
    }

    // Every window shown with these items, or every window hidden and empty.
    bool each(bool visible, int glows, int emoji) const
    {
        for (const auto &window : overlay->windows())
            if (window->isVisible() != visible || test::glows(*window) != glows
                || test::emoji(*window) != emoji)
                return false;
        return true;
    }
    bool allShowing(int glowsEach, int emojiEach) const { return each(true, glowsEach, emojiEach); }
    bool allEmpty() const { return each(false, 0, 0); }

private slots:
    void init() { makeOverlay({0.5}); }
    void cleanup() { overlay.reset(); }

    void oneHiddenClickThroughWindowPerScreen()
    {
        const auto screens = QGuiApplication::screens();
        QCOMPARE(screens.size(), 2);
        QCOMPARE(overlay->windows().size(), size_t(2));
        for (int i = 0; i < 2; ++i) {
            const OverlayWindow &window = *overlay->windows()[size_t(i)];
            QCOMPARE(window.screen(), screens[i]);
            QCOMPARE(window.geometry(), screens[i]->geometry());
            QVERIFY(!window.isVisible());
            for (Qt::WindowType flag : {Qt::WindowTransparentForInput, Qt::X11BypassWindowManagerHint,
                                        Qt::WindowStaysOnTopHint, Qt::FramelessWindowHint,
                                        Qt::WindowDoesNotAcceptFocus})
                QVERIFY(window.flags().testFlag(flag));
            QCOMPARE(window.flags() & Qt::WindowType_Mask, Qt::Tool);
            QCOMPARE(window.color(), QColor(Qt::transparent));
            QCOMPARE(window.requestedFormat().alphaBufferSize(), 8);
            QVERIFY(window.mask().isEmpty());
        }
    }

    void theWindowsHideWhenTheEffectEnds_data()
    {
        QTest::addColumn<double>("draw");
        QTest::addColumn<QStringList>("emoji");
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("calm");
        QTest::addColumn<int>("flying");
        QTest::addColumn<int>("hideMs");
        QTest::newRow("calm: glow only") << 0.5 << Overlay::warm << 40 << true << 0 << 2900;
        QTest::newRow("no emoji wanted") << 0.5 << Overlay::warm << 0 << false << 0 << 2900;
        QTest::newRow("empty list") << 0.5 << QStringList() << 40 << false << 0 << 2900;
        // Every emoji waits 1.3 s and flies 4.6 s.
        QTest::newRow("until the last emoji landed") << 1.0 << Overlay::warm << 40 << false << 40 << 6200;
    }

    void theWindowsHideWhenTheEffectEnds()
    {
        QFETCH(double, draw);
        QFETCH(QStringList, emoji);
        QFETCH(int, count);
        QFETCH(bool, calm);
        QFETCH(int, flying);
        QFETCH(int, hideMs);
        makeOverlay({draw});
        overlay->play(Qt::magenta, emoji, count, calm);
        QVERIFY(allShowing(1, flying));
        clock->advance(Milliseconds(hideMs - 1));
        QVERIFY(allShowing(1, flying));
        clock->advance(1ms);
        QVERIFY(allEmpty());
        QCOMPARE(clock->pendingCount(), 0);
    }

    void secondPlayReplacesTheGlowAndTakesOverTheHide()
    {
        makeOverlay({1.0});
        overlay->play(Qt::red, Overlay::warm, 40, false); // would hide at 6.2 s
        clock->advance(1s);
        random->replace({0.0});
        overlay->play(Qt::blue, Overlay::stars, 10, false); // lasts 3.0 s: hides at 1 + 3.3 s
        QVERIFY(allShowing(1, 50));
        clock->advance(3299ms);
        QVERIFY(allShowing(1, 50));
        clock->advance(1ms);
        QVERIFY(allEmpty());
        overlay->play(Qt::green, Overlay::warm, 40, true); // at 4.3 s, until 7.2 s
        clock->advance(2500ms);                           // past the first play's 6.2 s
        QVERIFY(allShowing(1, 0));
        QCOMPARE(clock->pendingCount(), 1);
    }

    void screenChangesDropTheEffectAndFollowTheScreens()
    {
        overlay->play(Qt::red, Overlay::warm, 40, false);
        const QPointer<OverlayWindow> before = overlay->windows()[1].get();
        QScreen *sharp = QGuiApplication::screens()[1];
        const QRect resized(1280, 0, 1024, 768);
        QWindowSystemInterface::handleScreenGeometryChange(sharp, resized, resized);
        QWindowSystemInterface::flushWindowSystemEvents();
        QTRY_VERIFY(before.isNull());
        QCOMPARE(overlay->windows().size(), size_t(2));
        QVERIFY(allEmpty());
        QCOMPARE(clock->pendingCount(), 0);
        QCOMPARE(overlay->windows()[1]->geometry(), resized);

        auto *plugged = new PluggedScreen;
        QWindowSystemInterface::handleScreenAdded(plugged);
        QTRY_COMPARE(overlay->windows().size(), size_t(3));
        QCOMPARE(overlay->windows()[2]->geometry(), plugged->geometry());
        overlay->play(Qt::red, Overlay::warm, 5, false);
        QVERIFY(allShowing(1, 5));

        QWindowSystemInterface::handleScreenRemoved(plugged);
        // A heart right after the removal must not reach the lost screen.
        QCOMPARE(overlay->windows().size(), size_t(2));
        QVERIFY(allEmpty());
        QCOMPARE(clock->pendingCount(), 0);
        overlay->play(Qt::red, Overlay::warm, 5, false);
        QVERIFY(allShowing(1, 5));
    }

    void overlayGoneBeforeTheHideIsHarmless()
    {
        overlay->play(Qt::red, Overlay::warm, 40, false);
        overlay.reset();
        QCOMPARE(clock->pendingCount(), 0);
        clock->advance(10s);
    }
};

TENDER_TEST_MAIN(QuickOverlayTest)
#include "QuickOverlayTest.moc"
