// The tray icon and the popover on a real X server, with openbox and a panel
// (trayer) along the bottom edge that hosts the icon.
#include "FakeWakeMonitor.h"
#include "ModelHarness.h"
#include "VirtualDesktop.h"
#include "shell/AppDelegate.h"
#include "shell/HeartIcon.h"
#include "shell/Popover.h"
#include "shell/SystemTray.h"

#include <QApplication>
#include <QQuickItem>
#include <QScreen>
#include <QtGui/qguiapplication_platform.h>
#include <QtTest>

#include <xcb/xcb.h>

#include <cstdlib>

using namespace tender;
using namespace tender::test;

namespace {

xcb_atom_t atom(xcb_connection_t *connection, const QByteArray &name)
{
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, name.size(), name.constData()), nullptr),
        &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

} // namespace

class TrayDesktopTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    void popoverStaysAboveTheBottomPanelWhileItGrows()
    {
        const QScreen *screen = QGuiApplication::primaryScreen();
        QTRY_VERIFY(screen->availableGeometry().bottom() < screen->geometry().bottom() - 20); // the panel's strip
        QFile qml(dir.filePath("Root.qml"));
        QVERIFY(qml.open(QIODevice::WriteOnly));
        qml.write("import QtQuick\nRectangle { width: 330; height: 200 }\n");
        qml.close();

        ModelHarness h; // signed out: the popover opens by itself
        SystemTray tray;
        tray.setIcon(HeartIcon::icon(false, Qt::black), QStringLiteral("Сердечко"));
        QTRY_VERIFY(tray.geometry().top() > screen->availableGeometry().bottom()); // embedded in the panel
        FakeWakeMonitor wake;
        AppDelegate delegate({[&]() -> std::unique_ptr<AppModel> { return h.createModel(); }, h.clock, tray, wake,
                              QUrl::fromLocalFile(qml.fileName())});
        delegate.willFinishLaunching();
        delegate.didFinishLaunching();
        QQuickView &view = delegate.popover()->view();
        QVERIFY(QTest::qWaitForWindowExposed(&view));

        const int bottom = tray.geometry().top() - 5; // 4 points over the icon
        QTRY_COMPARE(view.geometry().bottom(), bottom);
        for (int height : {500, 120}) {
            view.rootObject()->setHeight(height);
            QTRY_COMPARE(view.geometry().height(), height);
            QTRY_COMPARE(view.geometry().bottom(), bottom);
        }
        QVERIFY(screen->availableGeometry().contains(view.geometry()));
    }

    void iconTakesTheColourThePanelAsksFor()
    {
        SystemTray tray;
        QCOMPARE(tray.foreground(), std::nullopt); // trayer tells none
        auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
        xcb_connection_t *connection = x11->connection();
        std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&std::free)> owner(
            xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, atom(connection, "_NET_SYSTEM_TRAY_S0")),
                                          nullptr),
            &std::free);
        QVERIFY(owner && owner->owner != XCB_WINDOW_NONE);
        // What a dark panel says: normal, error, warning and success colours.
        const quint32 colours[12] = {0xeeee, 0xeeee, 0xecec, 0xcccc, 0, 0, 0xf5f5, 0x7979, 0, 0x4e4e, 0x9a9a, 0x0606};
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, owner->owner, atom(connection, "_NET_SYSTEM_TRAY_COLORS"),
                            XCB_ATOM_CARDINAL, 32, 12, colours);
        xcb_flush(connection);
        QTRY_COMPARE(tray.foreground(), std::optional(QColor(0xee, 0xee, 0xec)));
    }
};

int main(int argc, char *argv[])
{
    VirtualDesktop desktop;
    if (!desktop.isReady() || !desktop.startTray(QStringLiteral("bottom"))) {
        qWarning("no virtual desktop with a tray");
        return 1;
    }
    qputenv("DISPLAY", desktop.display().toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    TrayDesktopTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "TrayDesktopTest.moc"
