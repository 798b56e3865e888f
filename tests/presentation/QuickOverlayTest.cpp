#include "TestMain.h"
#include "ManualAnimations.h"
#include "ManualClock.h"
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

namespace {

// A monitor plugged in while the app runs.
class PluggedScreen final : public QPlatformScreen {
public:
    QRect geometry() const override { return {2080, 0, 640, 480}; }
    int depth() const override { return 32; }
    QImage::Format format() const override { return QImage::Format_ARGB32_Premultiplied; }
};

// Lit pixels of `area`, none unless they show at least four hues (emoji are colourful, the glow is one
// hue). The offscreen platform grabs without alpha, so what is transparent comes out black.
int colourfulPixels(const QImage &image, const QRect &area)
{
    QList<QRgb> lit;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qGray(image.pixel(x, y)) > 40)
                lit << (image.pixel(x, y) & 0xC0C0C0);
    return QSet<QRgb>(lit.cbegin(), lit.cend()).size() >= 4 ? int(lit.size()) : 0;
}

// What an overlay window's scene holds right now: "glow" or "emoji" items.
int items(const OverlayWindow &window, const char *name)
{
    const QQuickItem *root = window.rootObject();
    const QList<QQuickItem *> all = root ? root->childItems() : QList<QQuickItem *>();
    return int(std::ranges::count(all, QString::fromLatin1(name), &QObject::objectName));
}

// An ordinary application window under the overlay that counts the clicks it gets.
class Underneath final : public QRasterWindow {
public:
    static inline const QColor desk{0x40, 0x60, 0x40};
    int presses = 0;

protected:
    void paintEvent(QPaintEvent *) override { QPainter(this).fillRect(QRect(QPoint(), size()), desk); }
    void mousePressEvent(QMouseEvent *) override { ++presses; }
};

QColor onScreen(QPoint at)
{
    return QGuiApplication::primaryScreen()->grabWindow(0, at.x(), at.y(), 1, 1).toImage().pixelColor(0, 0);
}

// What an X client sees: the tools' output, with their exit code last.
QString x11(const QString &tool, const QStringList &arguments)
{
    QProcess process;
    process.start(tool, arguments);
    process.waitForFinished(60'000);
    return QString::fromUtf8(process.readAllStandardOutput()) + QString::number(process.exitCode());
}

} // namespace

class QuickOverlayTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::ManualClock> clock;
    std::unique_ptr<test::SequenceRandom> random;
    std::unique_ptr<QuickOverlay> overlay;

    void makeOverlay(QList<double> draws)
    {
        overlay.reset();
        clock = std::make_unique<test::ManualClock>();
        random = std::make_unique<test::SequenceRandom>(std::move(draws));
        overlay = std::make_unique<QuickOverlay>(*clock, *random);
    }

    // Every window shown with the glow and `emoji` emoji, or every window hidden and empty.
    bool all(bool shown, int emoji = 0) const
    {
        return std::ranges::all_of(overlay->windows(), [&](const auto &window) {
            return window->isVisible() == shown && items(*window, "glow") == int(shown)
                && items(*window, "emoji") == emoji;
        });
    }

    // Shown with `emoji` emoji until `ms` from now, hidden and empty from then on.
    bool showsFor(Milliseconds ms, int emoji)
    {
        clock->advance(ms - 1ms);
        const bool shown = all(true, emoji);
        clock->advance(1ms);
        return shown && all(false);
    }

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
        test::ManualAnimations animations;
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
            QCOMPARE(items(*window, "emoji"), 40);
            const QImage shot = window->grabWindow().convertToFormat(QImage::Format_ARGB32);
            const qreal scale = shot.devicePixelRatio();
            const QSize size = window->size() * scale;
            QCOMPARE(shot.size(), size);
            // The glow on every edge in the signal's colour, emoji in the middle away from it.
            const int w = size.width(), h = size.height(), band = int(GlowPlan::bandWidth() * scale);
            for (QPoint edge : {QPoint(w / 2, 1), QPoint(1, h / 2), QPoint(w - 2, h / 2),
                                QPoint(w / 3, h - 2)}) {
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
            QCOMPARE(items(*window, "glow") + items(*window, "emoji"), 0);
            const QImage after = window->grabWindow().convertToFormat(QImage::Format_ARGB32);
            for (int y = 0; y < after.height(); y += 7)
                for (int x = 0; x < after.width(); x += 7)
                    QCOMPARE(qGray(after.pixel(x, y)), 0);
        }
    }

    // Each play replaces the glow and takes over the hide: the windows go 0.3 s after its effect ends.
    void theWindowsHideWhenTheLastPlaysEffectEnds()
    {
        makeOverlay({1.0});
        overlay->play(Qt::magenta, Overlay::warm, 40, false); // every emoji waits 1.3 s and flies 4.6 s
        QVERIFY(showsFor(6200ms, 40));
        QCOMPARE(clock->pendingCount(), 0);

        overlay->play(Qt::red, Overlay::warm, 40, false); // would hide at 6.2 s
        clock->advance(1s);
        random->replace({0.0});
        overlay->play(Qt::blue, Overlay::stars, 10, false); // lasts 3.0 s: hides at 1 + 3.3 s
        QVERIFY(showsFor(3300ms, 50));
        overlay->play(Qt::green, Overlay::warm, 40, true); // calm: glow only, at 4.3 s until past 6.2 s
        QVERIFY(showsFor(2900ms, 0));
        QCOMPARE(clock->pendingCount(), 0);
    }

    // One hidden click-through window per screen; screen changes drop the effect and the windows follow.
    void oneHiddenClickThroughWindowPerScreenFollowingTheScreens()
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
                | Qt::WindowStaysOnTopHint | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus
                | Qt::Tool;
            QCOMPARE(window.flags() & (kept | Qt::WindowType_Mask), kept);
            QCOMPARE(window.color(), QColor(Qt::transparent));
            QCOMPARE(window.requestedFormat().alphaBufferSize(), 8);
            QVERIFY(window.mask().isEmpty());
        }

        overlay->play(Qt::red, Overlay::warm, 40, false);
        const QPointer<OverlayWindow> before = overlay->windows()[1].get();
        const QRect resized(1280, 0, 1024, 768);
        QWindowSystemInterface::handleScreenGeometryChange(screens[1], resized, resized);
        QWindowSystemInterface::flushWindowSystemEvents();
        QTRY_VERIFY(before.isNull());
        QCOMPARE(overlay->windows().size(), size_t(2));
        QVERIFY(all(false));
        QCOMPARE(clock->pendingCount(), 0);
        QCOMPARE(overlay->windows()[1]->geometry(), resized);

        auto *plugged = new PluggedScreen;
        QWindowSystemInterface::handleScreenAdded(plugged);
        QTRY_COMPARE(overlay->windows().size(), size_t(3));
        QCOMPARE(overlay->windows()[2]->geometry(), plugged->geometry());
        overlay->play(Qt::red, Overlay::warm, 5, false);
        QVERIFY(all(true, 5));

        QWindowSystemInterface::handleScreenRemoved(plugged);
        // A heart right after the removal must not reach the lost screen.
        QCOMPARE(overlay->windows().size(), size_t(2));
        QVERIFY(all(false));
        QCOMPARE(clock->pendingCount(), 0);
        overlay->play(Qt::red, Overlay::warm, 5, false);
        QVERIFY(all(true, 5));

        // The overlay gone before the hide leaves nothing due.
        overlay.reset();
        QCOMPARE(clock->pendingCount(), 0);
        clock->advance(10s);
    }

    // Run alone by CTest (OverlayWithoutScreensTest).
    void withoutScreensPlayStillSchedulesTheHide()
    {
        if (!QGuiApplication::screens().isEmpty())
            QSKIP("needs a platform without screens");
        QVERIFY(overlay->windows().empty());
        overlay->play(Qt::red, Overlay::warm, 40, false);
        QCOMPARE(random->drawn(), 0);
        QCOMPARE(clock->pendingCount(), 1);
        clock->advance(2900ms);
        QCOMPARE(clock->pendingCount(), 0);
    }

    // Run alone by CTest (OverlayX11Test) on a real X server without a compositor, as on a bare Xvfb.
    void onXTheOverlayFloatsAboveLetsClicksThroughAndFollowsTheCompositor()
    {
        if (QGuiApplication::platformName() != u"xcb")
            QSKIP("needs an X server");
        Underneath below;
        below.setGeometry(QGuiApplication::primaryScreen()->geometry());
        below.setFlag(Qt::X11BypassWindowManagerHint);
        below.show();
        QVERIFY(QTest::qWaitForWindowExposed(&below));
        QCOMPARE(overlay->windows().size(), size_t(1));
        OverlayWindow &window = *overlay->windows().front();
        test::ManualAnimations animations;
        overlay->play(QColor(255, 40, 40), Overlay::warm, 40, true);
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QString id = QString::number(window.winId());
        QVERIFY(x11("xwininfo", {"-id", id}).contains("Override Redirect State: yes"));
        animations.advance(1300ms); // the calm glow at its steady light, held there
        const QPoint edge(window.width() / 2, 3), middle = window.geometry().center();
        QTRY_VERIFY(onScreen(edge).red() > onScreen(edge).green() + 60);
        QCOMPARE(onScreen(middle), Underneath::desk);

        for (QPoint at : {edge, middle}) {
            const QString x = QString::number(at.x()), y = QString::number(at.y());
            QCOMPARE(x11("xdotool", {"mousemove", x, y, "click", "1"}), "0");
            QTRY_COMPARE(below.presses, at == edge ? 1 : 2);
        }

        clock->advance(2900ms);
        QTRY_COMPARE(onScreen(edge), Underneath::desk);

        // A compositor started after the app, or one that stops, changes how the windows are made (cut to
        // the visible glow without one); emoji fly only where they can be seen.
        const auto current = [this]() -> OverlayWindow & { return *overlay->windows().front(); };
        QVERIFY(current().masked());
        overlay->play(Qt::red, Overlay::warm, 40, false);
        QCOMPARE(items(current(), "emoji"), 0);

        QProcess compositor;
        compositor.start(QStringLiteral("xcompmgr"), {});
        QVERIFY(compositor.waitForStarted());
        QVERIFY(QTest::qWaitFor([&] { return !current().masked(); }, 60'000));
        QVERIFY(current().mask().isEmpty());
        overlay->play(Qt::red, Overlay::warm, 40, false);
        QCOMPARE(items(current(), "emoji"), 40);

        compositor.terminate();
        QVERIFY(compositor.waitForFinished());
        QVERIFY(QTest::qWaitFor([&] { return current().masked(); }, 60'000));
        QVERIFY(!current().isVisible());
        overlay->play(Qt::red, Overlay::warm, 40, false);
        QCOMPARE(items(current(), "emoji"), 0);
    }
};

TENDER_TEST_MAIN(QuickOverlayTest)
#include "QuickOverlayTest.moc"
