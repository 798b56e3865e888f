#include "TestMain.h"
#include "ManualAnimations.h"
#include "ManualClock.h"
#include "OverlayScene.h"
#include "SequenceRandom.h"
#include "presentation/GlowPlan.h"
#include "presentation/QuickOverlay.h"

#include <QtGui>
#include <QtTest>

#include <xcb/xcb.h>
#include <xcb/xtest.h>

using namespace tender;
using namespace std::chrono_literals;

namespace {

const QColor desk(0x40, 0x60, 0x40);

// An ordinary application window under the overlay that counts the clicks it gets.
class Underneath final : public QRasterWindow {
public:
    int presses = 0;

protected:
    void paintEvent(QPaintEvent *) override { QPainter(this).fillRect(QRect(QPoint(), size()), desk); }
    void mousePressEvent(QMouseEvent *) override { ++presses; }
};

xcb_connection_t *connection()
{
    return qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
}

void clickAt(QPoint at)
{
    xcb_connection_t *c = connection();
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    xcb_test_fake_input(c, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, root, qint16(at.x()), qint16(at.y()), 0);
    xcb_test_fake_input(c, XCB_BUTTON_PRESS, 1, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    xcb_test_fake_input(c, XCB_BUTTON_RELEASE, 1, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    xcb_flush(c);
}

bool overrideRedirect(const QWindow &window)
{
    xcb_connection_t *c = connection();
    auto *attributes = xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, xcb_window_t(window.winId())), nullptr);
    const bool bypass = attributes && attributes->override_redirect;
    free(attributes);
    return bypass;
}

QColor onScreen(QPoint at)
{
    return QGuiApplication::primaryScreen()->grabWindow(0, at.x(), at.y(), 1, 1).toImage().pixelColor(0, 0);
}

} // namespace

// On a real X server without a compositor, as on a bare Xvfb.
class OverlayX11Test : public QObject {
    Q_OBJECT

private slots:
    void overlayFloatsAboveLetsClicksThroughAndFollowsTheCompositor()
    {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        Underneath below;
        below.setGeometry(QGuiApplication::primaryScreen()->geometry());
        below.setFlag(Qt::X11BypassWindowManagerHint);
        below.show();
        QVERIFY(QTest::qWaitForWindowExposed(&below));

        test::ManualClock clock;
        test::SequenceRandom random({0.5});
        QuickOverlay overlay(clock, random);
        QCOMPARE(overlay.windows().size(), size_t(1));
        OverlayWindow &window = *overlay.windows().front();
        test::ManualAnimations animations;
        overlay.play(QColor(255, 40, 40), Overlay::warm, 40, true);
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(overrideRedirect(window));
        animations.advance(1300ms); // the calm glow at its steady light, held there
        const QPoint edge(window.width() / 2, 3), middle = window.geometry().center();
        QTRY_VERIFY(onScreen(edge).red() > onScreen(edge).green() + 60);
        QCOMPARE(onScreen(middle), desk);

        clickAt(edge);
        QTRY_COMPARE(below.presses, 1);
        clickAt(middle);
        QTRY_COMPARE(below.presses, 2);

        clock.advance(2900ms);
        QTRY_COMPARE(onScreen(edge), desk);

        // A compositor started after the app, or one that stops, changes how the windows are made (cut to
        // the visible glow without one); emoji fly only where they can be seen.
        const auto current = [&overlay]() -> OverlayWindow & { return *overlay.windows().front(); };
        QVERIFY(current().masked());
        overlay.play(Qt::red, Overlay::warm, 40, false);
        QCOMPARE(test::emoji(current()), 0);

        QProcess compositor;
        compositor.start(QStringLiteral("xcompmgr"), {});
        QVERIFY(compositor.waitForStarted());
        QVERIFY(QTest::qWaitFor([&] { return !current().masked(); }, 60'000));
        QVERIFY(current().mask().isEmpty());
        overlay.play(Qt::red, Overlay::warm, 40, false);
        QCOMPARE(test::emoji(current()), 40);

        compositor.terminate();
        QVERIFY(compositor.waitForFinished());
        QVERIFY(QTest::qWaitFor([&] { return current().masked(); }, 60'000));
        QVERIFY(!current().isVisible());
        overlay.play(Qt::red, Overlay::warm, 40, false);
        QCOMPARE(test::emoji(current()), 0);
    }
};

TENDER_TEST_MAIN(OverlayX11Test)
#include "OverlayX11Test.moc"
