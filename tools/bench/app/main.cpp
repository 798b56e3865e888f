// The app at rest against its floor, a bare Qt Quick tray app with one window.
// Both run on a virtual desktop with a window manager and a tray; the app is
// signed in to a real tender-server with two people in its list.
//
//   app-bench [--runs N] [--settle SECONDS] [--idle SECONDS]
//
// For each, the median over the runs of: the time until its tray icon shows,
// and after settling, the CPU time and context switches of all its threads over
// the idle time (wake-ups) and its RSS at the end.

#include "Await.h"
#include "MappedWindow.h"
#include "ProcessStats.h"
#include "RealServer.h"
#include "VirtualDesktop.h"
#include "platform/SystemClock.h"
#include "records/InviteCode.h"
#include "service/API.h"
#include "service/Auth.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QNetworkAccessManager>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

using namespace tender;
using namespace tender::bench;

namespace {

struct Measure {
    double startMs = 0;
    double residentMiB = 0;
    double cpuMs = 0;
    double wakeUps = 0;
    double threads = 0;
    int connections = 0; // to the service, at the end
    // Threads that woke while idle, by name, with their context switches.
    QMap<QString, qint64> wakers;
};

// Signs `email` up on the service; the session goes to `sessionFile`.
std::unique_ptr<Auth> signUp(Clock &clock, QNetworkAccessManager &network, const Endpoints &endpoints,
                             const QString &email, const QString &sessionFile)
{
    auto auth = std::make_unique<Auth>(clock, network, endpoints, sessionFile);
    test::await(auth->signIn(email, QStringLiteral("bench-password-1")));
    return auth;
}

// The bench user, signed in, with two people in the list.
bool prepareAccount(const Endpoints &endpoints, const QString &sessionFile, const QString &scratch)
{
    SystemClock clock;
    QNetworkAccessManager network;
    QDir().mkpath(QFileInfo(sessionFile).path());
    auto me = signUp(clock, network, endpoints, QStringLiteral("bench@example.org"), sessionFile);
    if (!QFile::exists(sessionFile))
        return false;
    API api(*me, network, endpoints);
    for (const QString &name : {QStringLiteral("anna"), QStringLiteral("boris")}) {
        auto other = signUp(clock, network, endpoints, name + QStringLiteral("@example.org"), scratch + u'/' + name);
        const Me them = test::await(API(*other, network, endpoints).me());
        const auto code = inviteID(them.invite_url);
        if (!code)
            return false;
        test::await(api.addContact(*code, name, name == u"anna"));
    }
    return true;
}

std::optional<Measure> measure(const QString &program, const QProcessEnvironment &environment, const QString &display,
                               quint16 servicePort, int settleSeconds, int idleSeconds, const QString &log)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(log, QIODevice::Append);
    MappedWindow windows(display);
    QElapsedTimer clock;
    clock.start();
    process.start(program, {});
    if (!windows.isConnected() || !process.waitForStarted())
        return std::nullopt;
    const pid_t pid = pid_t(process.processId());
    while (!windows.shownBy(pid)) {
        if (process.waitForFinished(0) || clock.elapsed() > 60'000)
            return std::nullopt;
        QThread::msleep(5);
    }
    Measure result;
    result.startMs = double(clock.nsecsElapsed()) / 1e6;
    QThread::sleep(settleSeconds);
    const ProcessStats before = ProcessStats::of(pid);
    QThread::sleep(idleSeconds);
    const ProcessStats after = ProcessStats::of(pid);
    result.cpuMs = (after.cpuSeconds - before.cpuSeconds) * 1000.0;
    result.wakeUps = double(after.switches - before.switches);
    result.residentMiB = double(after.residentKiB) / 1024.0;
    result.threads = after.threads;
    result.connections = establishedConnections(pid, servicePort);
    for (auto it = after.byThread.constBegin(); it != after.byThread.constEnd(); ++it)
        if (const qint64 woke = it.value().second - before.byThread.value(it.key()).second)
            result.wakers[it.value().first] += woke;
    process.terminate();
    if (!process.waitForFinished(10'000))
        process.kill();
    return result;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double medianOf(const std::vector<Measure> &runs, double Measure::*field)
{
    std::vector<double> values;
    for (const Measure &run : runs)
        values.push_back(run.*field);
    return median(values);
}

QString loadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()).section(u' ', 0, 2) : QString();
}

void report(const std::vector<Measure> &floor, const std::vector<Measure> &app, int idleSeconds)
{
    const auto row = [&](const char *what, double Measure::*field, const char *target, bool additive) {
        const double f = medianOf(floor, field), a = medianOf(app, field);
        const QString compared = additive ? QStringLiteral("+%1").arg(a - f, 0, 'f', 0)
                                : f > 0   ? QStringLiteral("%1×").arg(a / f, 0, 'f', 2)
                                          : QStringLiteral("floor is 0");
        std::printf("| %s | %.1f | %.1f | %s | %s |\n", what, f, a, qPrintable(compared), target);
    };
    std::printf("| over %d runs, medians | floor | app | app against floor | target |\n|---|---|---|---|---|\n",
                int(app.size()));
    row("start-up: tray icon shown, ms", &Measure::startMs, "floor + 300 ms", true);
    row("RSS after settling, MiB", &Measure::residentMiB, "≤ 1.3×", false);
    const QByteArray cpu = QStringLiteral("CPU over %1 s idle, ms").arg(idleSeconds).toUtf8();
    row(cpu.constData(), &Measure::cpuMs, "≤ 1.2×", false);
    const QByteArray wakes = QStringLiteral("wake-ups (context switches) over %1 s idle").arg(idleSeconds).toUtf8();
    row(wakes.constData(), &Measure::wakeUps, "≤ 1.2×", false);
    row("threads", &Measure::threads, "", false);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QCommandLineParser options;
    options.addHelpOption();
    options.addOption({QStringLiteral("runs"), QStringLiteral("Launches of each program."), QStringLiteral("n"), QStringLiteral("3")});
    options.addOption({QStringLiteral("settle"), QStringLiteral("Seconds after the icon shows before measuring."), QStringLiteral("s"), QStringLiteral("15")});
    options.addOption({QStringLiteral("idle"), QStringLiteral("Seconds measured at rest."), QStringLiteral("s"), QStringLiteral("60")});
    options.process(application);
    const int runs = std::max(1, options.value(QStringLiteral("runs")).toInt());
    const int settle = options.value(QStringLiteral("settle")).toInt();
    const int idle = std::max(1, options.value(QStringLiteral("idle")).toInt());

    test::VirtualDesktop desktop;
    if (!desktop.isReady() || !desktop.startTray(QStringLiteral("bottom"))) {
        std::fprintf(stderr, "app-bench: no virtual desktop with a tray\n");
        return 1;
    }
    test::RealServer server;
    if (!server.start()) {
        std::fprintf(stderr, "app-bench: %s\n", qPrintable(server.error()));
        return 1;
    }
    QTemporaryDir home;
    const QString data = home.filePath(QStringLiteral("data"));
    if (!prepareAccount(server.endpoints(), data + QStringLiteral("/Tender/session.json"), home.path())) {
        std::fprintf(stderr, "app-bench: could not set up the account\n");
        return 1;
    }
    QProcessEnvironment environment = desktop.environment();
    environment.insert(QStringLiteral("HOME"), home.path());
    environment.insert(QStringLiteral("XDG_DATA_HOME"), data);
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), home.filePath(QStringLiteral("cache")));
    environment.insert(QStringLiteral("TENDER_INSTANCE"), QStringLiteral("bench-%1").arg(QCoreApplication::applicationPid()));
    const Endpoints endpoints = server.endpoints();
    environment.insert(QStringLiteral("TENDER_API_BASE"), endpoints.apiBase.toString());
    environment.insert(QStringLiteral("TENDER_WEB_BASE"), endpoints.webBase.toString());
    environment.insert(QStringLiteral("TENDER_IDENTITY_BASE"), endpoints.identityBase.toString());
    environment.insert(QStringLiteral("TENDER_TOKEN_BASE"), endpoints.tokenBase.toString());
    environment.insert(QStringLiteral("TENDER_IDENTITY_KEY"), endpoints.identityKey);

    const QString log = home.filePath(QStringLiteral("stderr.log"));
    const auto servicePort = quint16(endpoints.apiBase.port());
    std::printf("load average before: %s\n", qPrintable(loadAverage()));
    std::fflush(stdout);
    std::vector<Measure> floor, app;
    for (int run = 0; run < runs; ++run) {
        for (auto [program, results] : {std::pair(QStringLiteral(TENDER_FLOOR_PATH), &floor),
                                        std::pair(QStringLiteral(TENDER_APP_PATH), &app)}) {
            const std::optional<Measure> measured =
                measure(program, environment, desktop.display(), servicePort, settle, idle, log);
            const bool isApp = results == &app;
            if (!measured || (isApp && measured->connections != 1)) {
                std::fprintf(stderr, "app-bench: %s %s\n", qPrintable(program),
                             measured ? "was not connected to the service at the end" : "showed no window");
                std::system(qPrintable(QStringLiteral("cat '%1' >&2").arg(log)));
                return 1;
            }
            results->push_back(*measured);
            QStringList wakers;
            for (auto it = measured->wakers.constBegin(); it != measured->wakers.constEnd(); ++it)
                wakers << QStringLiteral("%1 %2").arg(it.key()).arg(it.value());
            std::fprintf(stderr, "run %d %s: %.0f ms, %.1f MiB, %.1f ms CPU, %.0f switches (%s), %.0f threads; load %s\n",
                         run + 1, qPrintable(program.section(u'/', -1)), measured->startMs, measured->residentMiB,
                         measured->cpuMs, measured->wakeUps, qPrintable(wakers.join(QStringLiteral(", "))),
                         measured->threads, qPrintable(loadAverage()));
        }
    }
    report(floor, app, idle);
    std::printf("load average after: %s\n", qPrintable(loadAverage()));
    return 0;
}
