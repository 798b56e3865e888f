#include "TestMain.h"
#include "ManualAnimations.h"
#include "ManualClock.h"
#include "OverlayScene.h"
#include "SequenceRandom.h"
#include "presentation/GlowPlan.h"
#include "presentation/QuickOverlay.h"
#include "presentation/SystemRandom.h"

#include <QtGui>
#include <QtTest>
#include <qpa/qplatformscreen.h>
#include <qpa/qwindowsysteminterface.h>

using namespace tender;
using namespace std::chrono_literals;
using tender::test::ManualAnimations;
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

// Pixels that carry colour (emoji are colourful, the glow is one hue). The
// offscreen platform grabs without alpha, so what is transparent comes out black.
int colourfulPixels(const QImage &image, const QRect &area)
{
    QSet<QRgb> hues;
    int lit = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (qGray(pixel.rgb()) > 40) {
                ++lit;
                hues.insert(qRgb(pixel.red() & 0xC0, pixel.green() & 0xC0, pixel.blue() & 0xC0));
            }
        }
    return hues.size() >= 4 ? lit : 0;
}

// A play of 40 emoji with every draw the same, how many fly and when the windows go.
struct Play {
    double draw;
    bool calm;
    int flying, hideMs;
};

} // namespace

Q_DECLARE_METATYPE(Play)

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
    bool allShowing(int glows, int emoji) const { return each(true, glows, emoji); }
    bool allEmpty() const { return each(false, 0, 0); }

private slots:
    void init() { makeOverlay({0.5}); }
    void cleanup() { overlay.reset(); }

    // A whole run on the screens as configured (later cases change them), drawn frame by frame; leaves its
    // screenshots in the working directory.
    void effectShowsOnEveryScreenThenLeavesNothing()
    {
        this->overlay.reset();
        SystemRandom systemRandom(2026);
        QuickOverlay overlay(*clock, systemRandom);
        ManualAnimations animations;
        overlay.play(QColor(0xE8, 0x5D, 0x75), Overlay::warm, 40, false);
        // The glow's last flash, when every emoji has set off.
        animations.advance(2030ms);
        clock->advance(2030ms);
        // The screens side by side as the user sees them, each window at its place.
        QRect all;
        for (QScreen *screen : QGuiApplication::screens())
            all |= screen->geometry();
        QImage desktop(all.size(), QImage::Format_ARGB32_Premultiplied);
        desktop.fill(QColor(0x2b, 0x30, 0x3a));
        QPainter painter(&desktop);
        for (const auto &window : overlay.windows()) {
            QCOMPARE(test::emoji(*window), 40);
            const QImage shot = window->grabWindow().convertToFormat(QImage::Format_ARGB32);
            const qreal scale = shot.devicePixelRatio();
            const QSize size = window->size() * scale;
            QCOMPARE(shot.size(), size);
            // The glow on every edge in the signal's colour, emoji in the middle away from it.
            const int w = size.width(), h = size.height(), band = int(GlowPlan::bandWidth() * scale);
            for (QPoint edge : {QPoint(w / 2, 1), QPoint(1, h / 2), QPoint(w - 2, h / 2), QPoint(w / 3, h - 2)}) {
                const QColor light = shot.pixelColor(edge);
                QVERIFY(light.red() > 60 && light.red() > std::max(light.blue(), light.green()) + 30);
            }
            QVERIFY(colourfulPixels(shot, QRect(band, band, w - 2 * band, h - 2 * band)) > 2000);
            painter.drawImage(QRectF(window->geometry()), shot);
        }
        painter.end();
        const QDir shots(qEnvironmentVariable("TENDER_SHOT_DIR", QDir::currentPath()));
        QVERIFY(desktop.save(shots.filePath("overlay-mid-effect.png")));

        // The longest effect ends 5.9 s after the start and the windows go 0.3 s later.
        clock->advance(4170ms);
        for (const auto &window : overlay.windows()) {
            QVERIFY(!window->isVisible());
            QCOMPARE(test::glows(*window) + test::emoji(*window), 0);
            const QImage after = window->grabWindow().convertToFormat(QImage::Format_ARGB32);
            for (int y = 0; y < after.height(); y += 7)
                for (int x = 0; x < after.width(); x += 7)
                    QCOMPARE(qGray(after.pixel(x, y)), 0);
        }
    }

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
            const Qt::WindowFlags kept = Qt::WindowTransparentForInput | Qt::X11BypassWindowManagerHint
                | Qt::WindowStaysOnTopHint | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus | Qt::Tool;
            QCOMPARE(window.flags() & (kept | Qt::WindowType_Mask), kept);
            QCOMPARE(window.color(), QColor(Qt::transparent));
            QCOMPARE(window.requestedFormat().alphaBufferSize(), 8);
            QVERIFY(window.mask().isEmpty());
        }
    }

    void theWindowsHideWhenTheEffectEnds_data()
    {
        QTest::addColumn<Play>("play");
        QTest::newRow("calm: glow only") << Play{0.5, true, 0, 2900};
        // Every emoji waits 1.3 s and flies 4.6 s.
        QTest::newRow("until the last emoji landed") << Play{1.0, false, 40, 6200};
    }

    void theWindowsHideWhenTheEffectEnds()
    {
        QFETCH(Play, play);
        makeOverlay({play.draw});
        overlay->play(Qt::magenta, Overlay::warm, 40, play.calm);
        QVERIFY(allShowing(1, play.flying));
        clock->advance(Milliseconds(play.hideMs - 1));
        QVERIFY(allShowing(1, play.flying));
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
