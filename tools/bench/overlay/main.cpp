// Plays the default effect (40 emoji per screen) on two screens and reports the
// main thread's CPU time and the frame rate the software renderer reaches.
//
//   overlay-bench [runs]        (default 3; QT_QPA_PLATFORM may name another platform)

#include "platform/SystemClock.h"
#include "presentation/Overlay.h"
#include "presentation/QuickOverlay.h"
#include "presentation/SystemRandom.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QTimer>

#include <cstdio>
#include <ctime>

namespace {

double cpuSeconds(clockid_t clock)
{
    timespec t{};
    clock_gettime(clock, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

void waitFor(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

struct Run {
    double wall, mainCpu, processCpu;
    std::vector<int> frames;
};

Run measure(tender::QuickOverlay &overlay, int effectMs)
{
    std::vector<int> frames(overlay.windows().size(), 0);
    std::vector<QMetaObject::Connection> connections;
    for (size_t i = 0; i < overlay.windows().size(); ++i)
        connections.push_back(QObject::connect(overlay.windows()[i].get(), &QQuickWindow::frameSwapped,
                                               [&frames, i] { ++frames[i]; }));
    const double main0 = cpuSeconds(CLOCK_THREAD_CPUTIME_ID), process0 = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
    QElapsedTimer wall;
    wall.start();
    overlay.play(QColor(0xE8, 0x5D, 0x75), tender::Overlay::warm, 40, false);
    waitFor(effectMs);
    Run run{wall.elapsed() / 1000.0, cpuSeconds(CLOCK_THREAD_CPUTIME_ID) - main0,
            cpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - process0, frames};
    for (const auto &connection : connections)
        QObject::disconnect(connection);
    return run;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" TENDER_BENCH_SCREENS);
    if (qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND"))
        qputenv("QT_QUICK_BACKEND", "software");
    QGuiApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 3;

    tender::SystemClock clock;
    tender::SystemRandom random(7);
    tender::QuickOverlay overlay(clock, random);
    std::printf("platform %s, backend %s, render loop %s, %zu screens\n", qPrintable(QGuiApplication::platformName()),
                qgetenv("QT_QUICK_BACKEND").constData(),
                qEnvironmentVariableIsEmpty("QSG_RENDER_LOOP") ? "default" : qgetenv("QSG_RENDER_LOOP").constData(),
                overlay.windows().size());
    // Warm-up: QML compilation and the glow images happen once.
    measure(overlay, 6500);

    // The longest effect is 5.9 s; the window shows until 0.3 s after it.
    const int effectMs = 6200;
    for (int i = 0; i < runs; ++i) {
        const Run run = measure(overlay, effectMs);
        std::printf("run %d: wall %.2f s, main thread CPU %.2f s (%.0f %%), process CPU %.2f s, frames",
                    i + 1, run.wall, run.mainCpu, 100.0 * run.mainCpu / run.wall, run.processCpu);
        for (int frames : run.frames)
            std::printf(" %d (%.1f fps)", frames, frames / run.wall);
        std::printf("\n");
    }
    return 0;
}
