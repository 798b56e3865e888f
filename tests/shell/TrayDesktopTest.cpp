// The tray icon and the popover on a real X server, with openbox and a panel
// (trayer) along the bottom edge that hosts the icon.
#include "platform/WakeMonitor.h"
#include "ModelHarness.h"
#include "VirtualDesktop.h"
#include "shell/AppDelegate.h"
#include "shell/HeartIcon.h"
#include "shell/Popover.h"
#include "shell/SystemTray.h"

#include <QQuickItem>
#include <QScreen>

using namespace tender;
using namespace tender::test;

class TrayDesktopTest : public QObject {
    Q_OBJECT

    static VirtualDesktop &sharedDesktop()
    {
        static VirtualDesktop desktop;
        return desktop;
    }

    VirtualDesktop &desktop = sharedDesktop();

public:
    // The X server comes before the application, which connects to it.
    static void initMain()
    {
        VirtualDesktop &desktop = sharedDesktop();
        if (!desktop.isReady() || !desktop.startTray(QStringLiteral("bottom")))
            qFatal("no virtual desktop with a tray");
        qputenv("DISPLAY", desktop.display().toLocal8Bit());
        qputenv("QT_QPA_PLATFORM", "xcb");
    }

private slots:
    void popoverStaysAboveTheBottomPanelWhileItGrowsAndTheIconTakesThePanelsColour()
    {
        const QScreen *screen = QGuiApplication::primaryScreen();
        // The panel's strip is out of the work area.
        QTRY_VERIFY(screen->availableGeometry().bottom() < screen->geometry().bottom() - 20);
        ModelHarness h; // signed out: the popover opens by itself
        SystemTray tray;
        tray.setIcon(HeartIcon::icon(false, Qt::black), QStringLiteral("Сердечко"));
        QTRY_VERIFY(tray.geometry().top() > screen->availableGeometry().bottom()); // in the panel
        WakeMonitor wake;
        AppDelegate delegate({[&]() -> std::unique_ptr<AppModel> { return h.createModel(); }, h.clock, tray,
                              wake, QUrl::fromLocalFile(QStringLiteral(SHELL_ROOT_QML))});
        delegate.willFinishLaunching();
        delegate.didFinishLaunching();
        QQuickView &view = delegate.popover()->view();

        const int bottom = tray.geometry().top() - 5; // 4 points over the icon
        QTRY_COMPARE(view.geometry().bottom(), bottom);
        for (int height : {500, 120}) {
            view.rootObject()->setHeight(height);
            QTRY_COMPARE(view.geometry().height(), height);
            QTRY_COMPARE(view.geometry().bottom(), bottom);
        }
        QVERIFY(screen->availableGeometry().contains(view.geometry()));

        QCOMPARE(tray.foreground(), std::nullopt); // trayer tells none, until the panel asks for one
        QVERIFY(desktop.setTrayColor(QColor("#EEEEEC")));
        QTRY_COMPARE(tray.foreground(), std::optional(QColor("#EEEEEC")));
    }
};

TENDER_TEST_MAIN(TrayDesktopTest)

#include "TrayDesktopTest.moc"
