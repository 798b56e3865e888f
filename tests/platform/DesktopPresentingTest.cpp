// Runs itself as child processes: each platform setting (offscreen screens,
// an X server with a window manager) needs a process of its own, and the
// front application must be another process.
#include "VirtualDesktop.h"
#include "platform/DesktopPresenting.h"
#include "platform/PresentingRules.h"
#include "platform/X11DesktopReader.h"

#include <QGuiApplication>
#include <QRasterWindow>
#include <QScreen>
#include <QTest>
#include <QtGui/qguiapplication_platform.h>

#include <cstdio>

using namespace tender;

namespace {

constexpr qint64 own = 100;
constexpr qint64 other = 200;
const QRectF first(0, 0, 1920, 1080);

DesktopState frontWith(std::optional<qint64> front, QList<DesktopWindow> windows)
{
    return DesktopState{front, own, std::move(windows), {{1920, 1080}, {1280, 1024}}};
}

// Waits on either side end only a hung process; none of them judges speed.
constexpr int hangGuardMs = 120'000;

// child: prints the front process and what DesktopPresenting answers.
// child 1|0: first shows a full-screen or a normal window in front, then prints, and stays until killed.
// The window is brought to the front as a user would from a task bar, which the window manager always
// obeys, rather than left to its policy for new windows.
int runChild(const QStringList &arguments)
{
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    const auto frontPid = [connection] { return X11DesktopReader(connection).frontPid(); };
    QRasterWindow window;
    if (!arguments.isEmpty()) {
        const bool fullScreen = arguments.first() == u"1";
        window.resize(400, 300);
        fullScreen ? window.showFullScreen() : window.show();
        const QSize size = fullScreen ? window.screen()->geometry().size() : QSize(400, 300);
        QTest::qWaitFor([&] { return window.isExposed() && window.geometry().size() == size; }, hangGuardMs);
        test::VirtualDesktop::bringToFront(connection, quint32(window.winId()));
        QTest::qWaitFor([&] { return frontPid() == QCoreApplication::applicationPid(); }, hangGuardMs);
    }
    DesktopPresenting presenting;
    std::printf("front=%lld mirrored=%d fullScreen=%d\n", frontPid().value_or(0), presenting.mirrored(),
                presenting.frontAppFullScreen());
    std::fflush(stdout);
    return arguments.isEmpty() ? 0 : QGuiApplication::exec();
}

} // namespace

Q_DECLARE_METATYPE(DesktopState)

class DesktopPresentingTest : public QObject {
    Q_OBJECT

    static QString report(const QProcessEnvironment &environment)
    {
        QProcess child;
        child.setProcessEnvironment(environment);
        child.start(QCoreApplication::applicationFilePath(), {"--child"});
        if (!child.waitForFinished(hangGuardMs) || child.exitCode() != 0)
            return QStringLiteral("failed (%1): %2").arg(child.exitCode()).arg(child.readAllStandardError());
        return QString::fromUtf8(child.readAllStandardOutput()).trimmed();
    }

private slots:
    void screensWithOneGeometryAreMirrored()
    {
        using PresentingRules::mirrored;
        QVERIFY(!mirrored({}));
        QVERIFY(!mirrored({QRect(0, 0, 1920, 1080)}));
        QVERIFY(!mirrored({QRect(0, 0, 1920, 1080), QRect(1920, 0, 1920, 1080)}));
        QVERIFY(mirrored({QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024), QRect(0, 0, 1920, 1080)}));
        // Overlapping is not the same picture.
        QVERIFY(!mirrored({QRect(0, 0, 1920, 1080), QRect(0, 0, 1280, 1024)}));
        // And the screens Qt reports are the ones judged: the offscreen platform's, from this folder's files.
        for (const auto &[file, mirroredThere] : {std::pair("side-by-side.json", 0), {"mirroring.json", 1}}) {
            QProcessEnvironment offscreen = QProcessEnvironment::systemEnvironment();
            offscreen.insert("QT_QPA_PLATFORM", u"offscreen:configfile=%1/%2"_qs.arg(SCREENS_DIR, file));
            const QString expected = QStringLiteral("front=0 mirrored=%1 fullScreen=0").arg(mirroredThere);
            QCOMPARE(report(offscreen), expected);
        }
    }

    void theFrontAppCoversAScreen_data()
    {
        QTest::addColumn<DesktopState>("desktop");
        QTest::addColumn<bool>("fullScreen");
        QTest::newRow("front window fills a screen") << frontWith(other, {{other, 0, first}}) << true;
        QTest::newRow("second screen's size, placed on the first")
            << frontWith(other, {{other, 0, QRectF(100, 50, 1280, 1024)}}) << true;
        QTest::newRow("any of its windows, in any order")
            << frontWith(other, {{other, 0, QRectF(0, 0, 800, 600)}, {7, 0, first}, {other, 0, first}})
            << true;
        QTest::newRow("a higher layer counts") << frontWith(other, {{other, 25, first}}) << true;
        QTest::newRow("no front app") << frontWith(std::nullopt, {{other, 0, first}}) << false;
        QTest::newRow("this app in front") << frontWith(own, {{own, 0, first}}) << false;
        QTest::newRow("another app fills the screen") << frontWith(other, {{7, 0, first}}) << false;
        QTest::newRow("one pixel short") << frontWith(other, {{other, 0, QRectF(0, 0, 1920, 1079)}}) << false;
        QTest::newRow("fractional size")
            << frontWith(other, {{other, 0, QRectF(0, 0, 1920, 1080.5)}}) << false;
        QTest::newRow("negative layer") << frontWith(other, {{other, -1, first}}) << false;
        QTest::newRow("no bounds") << frontWith(other, {{other, 0, std::nullopt}}) << false;
        QTest::newRow("no layer") << frontWith(other, {{other, std::nullopt, first}}) << false;
        QTest::newRow("no pid") << frontWith(other, {{std::nullopt, 0, first}}) << false;
        QTest::newRow("pid compared in 32 bits")
            << frontWith(other + (qint64(1) << 32), {{other, 0, first}}) << true;
        QTest::newRow("no screens") << DesktopState{other, own, {{other, 0, first}}, {}} << false;
    }

    void theFrontAppCoversAScreen()
    {
        QFETCH(DesktopState, desktop);
        QFETCH(bool, fullScreen);
        QCOMPARE(PresentingRules::frontAppFullScreen(desktop), fullScreen);
    }

    void anotherAppsFullScreenWindowInFrontCounts()
    {
        test::VirtualDesktop desktop;
        QVERIFY2(desktop.isReady(), "Xvfb with openbox did not start");

        for (const QString fullScreen : {"1", "0"}) {
            QProcess window;
            window.setProcessEnvironment(desktop.environment());
            window.start(QCoreApplication::applicationFilePath(), {"--child", fullScreen});
            while (!window.canReadLine() && window.waitForReadyRead(hangGuardMs)) {
            }
            const QString expected =
                QStringLiteral("front=%1 mirrored=0 fullScreen=%2").arg(window.processId());
            // Its own window in front never counts; another's counts when it covers a screen.
            QCOMPARE(QString::fromUtf8(window.readLine()).trimmed(), expected.arg(0));
            QCOMPARE(report(desktop.environment()), expected.arg(fullScreen));
            window.kill();
            window.waitForFinished();
        }
    }
};

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (app.arguments().value(1) == u"--child")
        return runChild(app.arguments().mid(2));
    DesktopPresentingTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "DesktopPresentingTest.moc"
