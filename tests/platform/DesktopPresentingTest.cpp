// Runs itself as child processes: each platform setting (offscreen screens,
// an X server with a window manager) needs a process of its own, and the
// front application must be another process.
#include "VirtualDesktop.h"
#include "platform/DesktopPresenting.h"
#include "platform/X11DesktopReader.h"

#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QRasterWindow>
#include <QTemporaryDir>
#include <QTest>
#include <QtGui/qguiapplication_platform.h>

#include <cstdio>
#include <memory>

using namespace tender;

namespace {

bool waitUntil(const std::function<bool()> &condition, int milliseconds = 10000)
{
    const QDeadlineTimer deadline(milliseconds);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

std::unique_ptr<QRasterWindow> showWindow(bool fullScreen)
{
    auto window = std::make_unique<QRasterWindow>();
    if (fullScreen) {
        window->showFullScreen();
    } else {
        window->resize(400, 300);
        window->show();
    }
    waitUntil([&] { return window->isExposed(); });
    // Ask for the focus rather than count on the window manager giving it to
    // a new window, which a busy machine showed it does not always do in time.
    window->requestActivate();
    return window;
}

std::optional<qint64> frontPid()
{
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? X11DesktopReader(x11->connection()).frontPid() : std::nullopt;
}

// child window full|normal: shows a window and stays until killed.
// child report [front-pid|own]: prints what DesktopPresenting answers, once the
// given process (or this one, with a full-screen window of its own) is in front.
int runChild(const QStringList &arguments)
{
    if (arguments.value(0) == u"window") {
        const auto window = showWindow(arguments.value(1) == u"full");
        std::printf("shown\n");
        std::fflush(stdout);
        return QGuiApplication::exec();
    }
    std::unique_ptr<QRasterWindow> ownWindow;
    if (arguments.value(1) == u"own")
        ownWindow = showWindow(true);
    const qint64 front = ownWindow ? QCoreApplication::applicationPid() : arguments.value(1).toLongLong();
    if (front && !waitUntil([&] { return frontPid() == front; }))
        return 3;
    DesktopPresenting presenting;
    std::printf("mirrored=%d fullScreen=%d\n", presenting.mirrored(), presenting.frontAppFullScreen());
    return 0;
}

} // namespace

class DesktopPresentingTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;

    static QString report(const QProcessEnvironment &environment, const QStringList &arguments)
    {
        QProcess child;
        child.setProcessEnvironment(environment);
        child.start(QCoreApplication::applicationFilePath(), QStringList{"--child", "report"} + arguments);
        if (!child.waitForFinished(30000) || child.exitCode() != 0)
            return QStringLiteral("failed (%1): %2").arg(child.exitCode()).arg(QString::fromUtf8(child.readAllStandardError()));
        return QString::fromUtf8(child.readAllStandardOutput()).trimmed();
    }

    QProcessEnvironment offscreenWith(const QByteArray &screens)
    {
        const QString path = dir_.filePath(QString::number(qHash(screens)) + ".json");
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write("{\"screens\": [" + screens + "]}");
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen:configfile=" + path);
        return environment;
    }

    static std::unique_ptr<QProcess> startWindow(const test::VirtualDesktop &desktop, const QString &kind)
    {
        auto window = std::make_unique<QProcess>();
        window->setProcessEnvironment(desktop.environment());
        window->start(QCoreApplication::applicationFilePath(), {"--child", "window", kind});
        window->waitForReadyRead(20000);
        return window;
    }

private slots:
    void mirroringFollowsScreenGeometry()
    {
        const QByteArray first = "{\"name\": \"a\", \"x\": 0, \"y\": 0, \"width\": 1920, \"height\": 1080, \"logicalDpi\": 96, \"dpr\": 1}";
        const QByteArray beside = "{\"name\": \"b\", \"x\": 1920, \"y\": 0, \"width\": 1920, \"height\": 1080, \"logicalDpi\": 96, \"dpr\": 1}";
        const QByteArray same = "{\"name\": \"c\", \"x\": 0, \"y\": 0, \"width\": 1920, \"height\": 1080, \"logicalDpi\": 96, \"dpr\": 1}";
        QCOMPARE(report(offscreenWith(first + "," + beside), {"0"}), "mirrored=0 fullScreen=0");
        QCOMPARE(report(offscreenWith(first + "," + beside + "," + same), {"0"}), "mirrored=1 fullScreen=0");
    }

    void anotherAppsFullScreenWindowInFrontCounts()
    {
        test::VirtualDesktop desktop;
        QVERIFY2(desktop.isReady(), "Xvfb with openbox did not start");

        auto fullScreen = startWindow(desktop, "full");
        QCOMPARE(fullScreen->readLine().trimmed(), "shown");
        QCOMPARE(report(desktop.environment(), {QString::number(fullScreen->processId())}), "mirrored=0 fullScreen=1");
        // Its own full-screen window in front never counts, whatever is behind.
        QCOMPARE(report(desktop.environment(), {"own"}), "mirrored=0 fullScreen=0");
        fullScreen->kill();
        fullScreen->waitForFinished();

        auto normal = startWindow(desktop, "normal");
        QCOMPARE(normal->readLine().trimmed(), "shown");
        QCOMPARE(report(desktop.environment(), {QString::number(normal->processId())}), "mirrored=0 fullScreen=0");
        normal->kill();
        normal->waitForFinished();
    }
};

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QStringList arguments = app.arguments().mid(1);
    if (arguments.value(0) == u"--child")
        return runChild(arguments.mid(1));
    DesktopPresentingTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "DesktopPresentingTest.moc"
