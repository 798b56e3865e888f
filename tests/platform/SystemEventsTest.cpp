#include "TestMain.h"
#include "ManualClock.h"
#include "PrivateDBus.h"
#include "platform/ClockJumpWakeMonitor.h"
#include "platform/LogindWakeMonitor.h"
#include "platform/QtNetworkPathMonitor.h"
#include "platform/SystemClock.h"

#include <QCoroTimer>
#include <QDBusMessage>
#include <QNetworkInformation>
#include <QtTest>

using namespace tender;
using namespace std::chrono_literals;
using Reachability = NetworkReachability;
using Name = std::optional<QString>;
using Snapshot = NetworkSnapshot;

namespace {

QCoro::Task<> sleepThenRecord(Clock &clock, Milliseconds delay, QStringList &log, QString name)
{
    co_await clock.sleep(delay);
    log << QStringLiteral("%1@%2").arg(name).arg(clock.now().time().toString(QStringLiteral("ss.zzz")));
}

void sendPrepareForSleep(QDBusConnection &bus, bool sleeping)
{
    auto signal = QDBusMessage::createSignal("/org/freedesktop/login1", "org.freedesktop.login1.Manager",
                                             "PrepareForSleep");
    signal << sleeping;
    QVERIFY(bus.send(signal));
}

NetworkInterfaceState usable(const QString &name) { return {name, true, true, false}; }
const NetworkInterfaceState loopback{QStringLiteral("lo"), true, true, true};
const NetworkInterfaceState down{QStringLiteral("wlan0"), false, false, false};
const NetworkInterfaceState upNotRunning{QStringLiteral("eth1"), true, false, false};

} // namespace

Q_DECLARE_METATYPE(NetworkSnapshot)

// What the system tells the app: time passing, a wake from sleep, another network path.
class SystemEventsTest : public QObject {
    Q_OBJECT

private slots:
    // Sleeps resume in order, each when due; the system clock's timers run on the event loop.
    void sleepsResumeWhenDueAndSystemTimersRunOnTheEventLoop()
    {
        test::ManualClock manual(QDateTime(QDate(2026, 1, 1), QTime(0, 0), Qt::UTC));
        QStringList log;
        auto a = sleepThenRecord(manual, 2s, log, "a");
        auto b = sleepThenRecord(manual, 500ms, log, "b");
        manual.advance(2s);
        QCOMPARE(log, (QStringList{"b@00.500", "a@02.000"}));

        SystemClock clock;
        log.clear();
        auto slept = sleepThenRecord(clock, 30ms, log, "slept");
        int repeats = 0;
        auto every = clock.repeating(5ms, [&] { ++repeats; });
        clock.singleShot(1ms, [&] { log << "cancelled"; }).reset();
        // A stalled process may fire both timers in one go, hence waiting for both.
        QTRY_VERIFY_WITH_TIMEOUT(log.size() == 1 && repeats >= 2, 60'000);
        QCOMPARE(log.first().left(5), "slept");
        const QDateTime before = QDateTime::currentDateTimeUtc(), now = clock.now();
        QVERIFY(before <= now && now <= QDateTime::currentDateTimeUtc());
    }

    void logindResumeIsAWake()
    {
        test::PrivateDBus bus;
        QDBusConnection app = bus.connect("app");
        QVERIFY(!LogindWakeMonitor::isAvailable(app));

        QDBusConnection logind = bus.connect("logind");
        QVERIFY(logind.registerService("org.freedesktop.login1"));
        QVERIFY(LogindWakeMonitor::isAvailable(app));
        LogindWakeMonitor monitor(app);
        int wakes = 0;
        monitor.onWake = [&] { ++wakes; };

        // Another sender that pretends to be logind is not listened to.
        QDBusConnection stranger = bus.connect("stranger");
        sendPrepareForSleep(stranger, false);
        sendPrepareForSleep(logind, true);
        QTest::qWait(100);
        QCOMPARE(wakes, 0);

        sendPrepareForSleep(logind, false);
        QTRY_COMPARE(wakes, 1);
    }

    void wallTimeRunningAheadOfMonotonicTimeIsAWake()
    {
        test::ManualClock clock;
        qint64 monotonic = 0;
        ClockJumpWakeMonitor monitor(clock, 10s, 30s, [&] { return monotonic; });
        int wakes = 0;
        monitor.onWake = [&] { ++wakes; };

        // One check: the wall clock jumped by `jump` seconds just before it, the monotonic one moved `ms`.
        const auto tick = [&](int jump, qint64 ms = 10'000) {
            clock.setNow(clock.now().addSecs(jump));
            monotonic += ms;
            clock.advance(10s);
            return wakes;
        };
        // Ordinary ticks, with the loop running late now and then.
        for (int i = 0; i < 6; ++i)
            QCOMPARE(tick(0, 10'000 + (i % 2) * 2'000), 0);
        // Asleep for an hour: the wall clock moved, the monotonic one did not.
        QCOMPARE(tick(3600), 1);
        QCOMPARE(tick(0), 1);
        // A short correction and a backward jump are not sleeps.
        QCOMPARE(tick(20), 1);
        QCOMPARE(tick(-3600), 1);
    }

    void theFirstUsableInterfaceNamesThePath_data()
    {
        QTest::addColumn<Snapshot>("snapshot");
        QTest::addColumn<Name>("name");
        const auto connected = Reachability::Connected, unknown = Reachability::Unknown;
        QTest::newRow("skips loopback, down, not running")
            << Snapshot{connected, {loopback, down, upNotRunning, usable("eth0"), usable("wlan1")}}
            << Name("eth0");
        QTest::newRow("connected, no listed interface") << Snapshot{connected, {loopback, down}} << Name("?");
        QTest::newRow("disconnected despite an interface")
            << Snapshot{Reachability::Disconnected, {usable("eth0")}} << Name();
        QTest::newRow("unknown, one up") << Snapshot{unknown, {loopback, usable("eth0")}} << Name("eth0");
        QTest::newRow("unknown, only loopback") << Snapshot{unknown, {loopback}} << Name();
        QTest::newRow("nothing at all") << Snapshot{} << Name();
    }

    void theFirstUsableInterfaceNamesThePath()
    {
        QFETCH(Snapshot, snapshot);
        QFETCH(Name, name);
        QCOMPARE(NetworkPath::interfaceName(snapshot), name);
    }

    void aSwitchBetweenInterfacesIsReportedOnce()
    {
        test::ManualClock clock;
        NetworkSnapshot current{Reachability::Connected, {loopback, usable("wlan0")}};
        const auto ignore = QtNetworkPathMonitor::KernelReports::ignore;
        QtNetworkPathMonitor monitor(clock, 5s, [&] { return current; }, ignore);
        QList<Name> reports;
        monitor.onChange = [&](const Name &name) { reports << name; };
        QCOMPARE(monitor.interfaceName(), Name("wlan0"));

        clock.advance(5s);
        current.interfaces = {loopback, down, usable("eth0")};
        clock.advance(4999ms);
        QVERIFY(reports.isEmpty());
        clock.advance(1ms);
        QCOMPARE(reports, (QList<Name>{QString("eth0")}));
        QCOMPARE(monitor.interfaceName(), Name("eth0"));
        clock.advance(20s);

        current.reachability = Reachability::Disconnected;
        monitor.refresh();
        QCOMPARE(monitor.interfaceName(), std::nullopt);
        current.reachability = Reachability::Connected;
        current.interfaces = {loopback};
        monitor.refresh();
        QCOMPARE(reports, (QList<Name>{QString("eth0"), std::nullopt, QString("?")}));
    }

    // Run by CTest in a network namespace of its own, where bringing lo up harms nobody.
    void theKernelsReportsNeedNoPolling()
    {
        if (!qEnvironmentVariableIsSet("TENDER_OWN_NETWORK"))
            QSKIP("runs in a network namespace of its own");
        test::ManualClock clock;
        NetworkSnapshot current{Reachability::Connected, {usable("wlan0")}};
        QtNetworkPathMonitor monitor(clock, 5s, [&] { return current; });
        QList<Name> reports;
        monitor.onChange = [&](const Name &name) { reports << name; };
        current.interfaces = {usable("eth0")};
        QCOMPARE(QProcess::execute("ip", {"link", "set", "lo", "up"}), 0);
        QTRY_COMPARE(reports, (QList<Name>{QString("eth0")}));
    }

    void theSystemSnapshotSeesThisMachine()
    {
        test::ManualClock clock;
        QtNetworkPathMonitor monitor(clock);
        // Either NetworkManager's backend or the glib fallback must be there.
        QVERIFY(QNetworkInformation::instance());

        const NetworkSnapshot snapshot = NetworkPath::systemSnapshot();
        const auto lo = std::find_if(snapshot.interfaces.cbegin(), snapshot.interfaces.cend(),
                                     [](const NetworkInterfaceState &state) { return state.loopback; });
        QVERIFY(lo != snapshot.interfaces.cend());
        QVERIFY(monitor.interfaceName() != lo->name);
        QCOMPARE(monitor.interfaceName(), NetworkPath::interfaceName(snapshot));
        QCOMPARE(clock.pendingCount(), 0); // the kernel reports: nothing polls
    }
};

TENDER_TEST_GUILESS_MAIN(SystemEventsTest)
#include "SystemEventsTest.moc"
