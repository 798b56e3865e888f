#include "Contrast.h"
#include "FakeTray.h"
#include "platform/WakeMonitor.h"
#include "ModelHarness.h"
#include "shell/AppDelegate.h"
#include "shell/HeartIcon.h"
#include "shell/Popover.h"
#include "shell/PopoverPlacement.h"
#include "shell/StatusBar.h"

#include <QQuickItem>

using namespace tender;
using namespace tender::test;
using namespace std::chrono_literals;

namespace {

QColor centreOf(const QIcon &icon)
{
    return icon.pixmap(QSize(32, 32)).toImage().pixelColor(3, 16);
}

} // namespace

class ShellTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ModelHarness> h;
    std::optional<FakeTray> tray;
    WakeMonitor wake;

    std::unique_ptr<AppDelegate> launch()
    {
        auto delegate = std::make_unique<AppDelegate>(AppDelegate::Parts{
            [this] { return std::unique_ptr<AppModel>(h->createModel()); }, h->clock, *tray, wake,
            QUrl::fromLocalFile(QStringLiteral(SHELL_ROOT_QML))});
        delegate->willFinishLaunching();
        delegate->didFinishLaunching();
        return delegate;
    }

private slots:
    void init()
    {
        h = std::make_unique<ModelHarness>();
        tray.emplace();
    }
    void cleanup() { h.reset(); }

    void firstStartOpensThePopoverUnderTheIconGrowingDownAndIgnoresWake()
    {
        tray->place = QRect(0, 0, 22, 22); // before the tray embeds the icon, Qt reports it at the origin
        auto delegate = launch();
        QVERIFY(!delegate->model()->signedIn());
        QVERIFY(delegate->popover()->isShown());
        QCOMPARE(tray->names.last(), QString("Сердечко"));

        QQuickView &view = delegate->popover()->view();
        const QRect screen = view.screen()->availableGeometry();
        tray->place = QRect(screen.right() - 30, screen.top(), 24, 24);
        const QPoint underIcon = PopoverPlacement::place(tray->place, {}, view.size(), screen);
        QVERIFY(view.position() != underIcon);
        h->clock.advance(std::chrono::milliseconds(StatusBar::iconTryMs));
        QCOMPARE(view.position(), underIcon);

        // Under a top panel it grows downwards (upwards over a bottom one: TrayDesktopTest, on a real panel).
        const QRect before = view.geometry();
        for (qreal height : {300.0, 90.0}) {
            view.rootObject()->setHeight(height);
            QCOMPARE(view.height(), int(height));
            QCOMPARE(view.geometry().topLeft(), before.topLeft());
        }

        wake.onWake(); // nothing runs to restart
        QTest::qWait(100);
        QCOMPARE(h->service.peers().size(), 0);
    }

    void signedInStartShowsOnlyTheIconAndRestartsTheStreamOnWake()
    {
        h->saveSession();
        auto delegate = launch();
        QVERIFY(delegate->model()->signedIn());
        QVERIFY(h->awaitPeer(0));
        wake.onWake();
        QVERIFY(h->awaitPeer(1));
        QTest::qWait(100);
        QCOMPARE(h->service.peers().size(), 2);

        Popover &popover = *delegate->popover();
        QVERIFY(!popover.isShown());
        emit tray->activated();
        QVERIFY(popover.isShown());
        emit tray->activated();
        QVERIFY(!popover.isShown());

        emit tray->activated();
        QVERIFY(QTest::qWaitForWindowActive(&popover.view()));
        QTest::keyClick(&popover.view(), Qt::Key_Escape);
        QVERIFY(!popover.isShown());

        // An invite link from another launch opens the add form.
        delegate->open({"tender://add/ABCDE-FGHJK"});
        QCOMPARE(delegate->model()->route(), Route::add(QString("ABCDE-FGHJK")));
        QVERIFY(popover.isShown());
    }

    void iconShowsOnAnyPanelAndDrawsPauseFlashesAndThePanelsColour()
    {
        auto delegate = launch();
        QVERIFY(contrast(centreOf(tray->lastIcon), Qt::white) >= 3);
        QVERIFY(contrast(centreOf(tray->lastIcon), Qt::black) >= 3);
        StatusBar &status = *delegate->status();
        delegate->model()->pause(PauseLength::Hour);
        QCOMPARE(tray->names.last(), QString("Сердечко на паузе"));

        const QColor coral("#F07A62"), blue("#4E9BD8");
        status.flashIcon(coral);
        QCOMPARE(centreOf(tray->lastIcon), coral);
        QCOMPARE(tray->names.last(), QString("Сердечко на паузе"));
        h->clock.advance(1s);
        status.flashIcon(coral);
        h->clock.advance(400ms); // the first flash's end finds an equal colour
        QCOMPARE(status.tint(), std::nullopt);

        status.flashIcon(coral);
        h->clock.advance(1s);
        status.flashIcon(blue);
        h->clock.advance(400ms);
        QCOMPARE(status.tint(), blue);
        QCOMPARE(centreOf(tray->lastIcon), blue);
        h->clock.advance(999ms);
        QCOMPARE(status.tint(), blue);
        h->clock.advance(1ms);
        QCOMPARE(status.tint(), std::nullopt);

        tray->panelColor = QColor("#EEEEEC");
        status.updateIcon();
        QCOMPARE(centreOf(tray->lastIcon), *tray->panelColor);

        // The filled circle and the heart cut out of it; paused, the slash and the gap cut around it.
        const QImage normal = HeartIcon::render(false, Qt::black, 32);
        const QImage paused = HeartIcon::render(true, Qt::black, 32);
        const QList<int> alphas{normal.pixelColor(16, 4).alpha(), normal.pixelColor(16, 16).alpha(),
                                paused.pixelColor(16, 16).alpha(), paused.pixelColor(18, 15).alpha()};
        QCOMPARE(alphas, (QList<int>{255, 0, 255, 0}));
    }

    void popoverPlacement()
    {
        // A screen of 1920 x 1080 whose panel (top or bottom) is 30 high.
        const QRect top(1890, 3, 24, 24), bottom(100, 1053, 24, 24);
        const QSize size(340, 500);
        const QList<std::tuple<QRect, QPoint, QSize, QPoint>> places{
            {top, {}, size, {1580, 31}},             // under an icon at the top right
            {bottom, {}, size, {0, 549}},            // over an icon in a bottom panel
            {{}, {960, 40}, size, {790, 45}},        // no geometry: at the pointer
            {{}, {960, 1000}, size, {790, 496}},     // the pointer low: over it
            {bottom, {}, {340, 1200}, {0, 0}}};      // taller than the screen
        for (const auto &[icon, pointer, popover, at] : places) {
            const QRect available = icon.top() > 540 ? QRect(0, 0, 1920, 1050) : QRect(0, 30, 1920, 1050);
            QCOMPARE(PopoverPlacement::place(icon, pointer, popover, available), at);
        }
    }
};

TENDER_TEST_MAIN(ShellTest)
#include "ShellTest.moc"
