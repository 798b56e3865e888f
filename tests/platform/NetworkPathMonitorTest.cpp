#include "TestMain.h"
#include "ManualClock.h"
#include "platform/QtNetworkPathMonitor.h"

#include <QNetworkInformation>
#include <QProcess>
#include <QTest>

using namespace tender;
using namespace std::chrono_literals;
using Reachability = NetworkReachability;

namespace {

NetworkInterfaceState usable(const QString &name) { return {name, true, true, false}; }
const NetworkInterfaceState loopback{QStringLiteral("lo"), true, true, true};
const NetworkInterfaceState down{QStringLiteral("wlan0"), false, false, false};
const NetworkInterfaceState upNotRunning{QStringLiteral("eth1"), true, false, false};

} // namespace

Q_DECLARE_METATYPE(NetworkSnapshot)

class NetworkPathMonitorTest : public QObject {
    Q_OBJECT

private slots:
    void theFirstUsableInterfaceNamesThePath_data()
    {
        QTest::addColumn<NetworkSnapshot>("snapshot");
        QTest::addColumn<std::optional<QString>>("name");
        const std::optional<QString> none;
        QTest::newRow("skips loopback, down, not running")
            << NetworkSnapshot{Reachability::Connected, {loopback, down, upNotRunning, usable("eth0"), usable("wlan1")}}
            << std::optional<QString>("eth0");
        QTest::newRow("connected through no listed interface")
            << NetworkSnapshot{Reachability::Connected, {loopback, down}} << std::optional<QString>("?");
        QTest::newRow("disconnected despite an interface") << NetworkSnapshot{Reachability::Disconnected, {usable("eth0")}} << none;
        QTest::newRow("unknown, interface up") << NetworkSnapshot{Reachability::Unknown, {loopback, usable("eth0")}}
                                               << std::optional<QString>("eth0");
        QTest::newRow("unknown, only loopback") << NetworkSnapshot{Reachability::Unknown, {loopback}} << none;
        QTest::newRow("nothing at all") << NetworkSnapshot{} << none;
    }

    void theFirstUsableInterfaceNamesThePath()
    {
        QFETCH(NetworkSnapshot, snapshot);
        QFETCH(std::optional<QString>, name);
        QCOMPARE(NetworkPath::interfaceName(snapshot), name);
    }

    void aSwitchBetweenInterfacesIsReportedOnce()
    {
        test::ManualClock clock;
        NetworkSnapshot current{Reachability::Connected, {loopback, usable("wlan0")}};
        QtNetworkPathMonitor monitor(clock, 5s, [&] { return current; }, QtNetworkPathMonitor::KernelReports::ignore);
        QList<std::optional<QString>> reports;
        monitor.onChange = [&](const std::optional<QString> &name) { reports << name; };
        QCOMPARE(monitor.interfaceName(), std::optional<QString>("wlan0"));

        clock.advance(5s);
        QVERIFY(reports.isEmpty());

        current.interfaces = {loopback, down, usable("eth0")};
        clock.advance(4999ms);
        QVERIFY(reports.isEmpty());
        clock.advance(1ms);
        QCOMPARE(reports, (QList<std::optional<QString>>{QString("eth0")}));
        QCOMPARE(monitor.interfaceName(), std::optional<QString>("eth0"));
        clock.advance(20s);
        QCOMPARE(reports.size(), 1);

        current.reachability = Reachability::Disconnected;
        monitor.refresh();
        QCOMPARE(reports.size(), 2);
        QCOMPARE(reports.last(), std::nullopt);
        QCOMPARE(monitor.interfaceName(), std::nullopt);

        current.reachability = Reachability::Connected;
        current.interfaces = {loopback};
        monitor.refresh();
        QCOMPARE(reports.last(), std::optional<QString>("?"));
    }

    // Run by CTest in a network namespace of its own, where bringing lo up harms nobody.
    void theKernelsReportsNeedNoPolling()
    {
        if (!qEnvironmentVariableIsSet("TENDER_OWN_NETWORK"))
            QSKIP("runs in a network namespace of its own");
        test::ManualClock clock;
        NetworkSnapshot current{Reachability::Connected, {usable("wlan0")}};
        QtNetworkPathMonitor monitor(clock, 5s, [&] { return current; });
        QList<std::optional<QString>> reports;
        monitor.onChange = [&](const std::optional<QString> &name) { reports << name; };
        current.interfaces = {usable("eth0")};
        QCOMPARE(QProcess::execute("ip", {"link", "set", "lo", "up"}), 0);
        QTRY_COMPARE(reports, (QList<std::optional<QString>>{QString("eth0")}));
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

TENDER_TEST_GUILESS_MAIN(NetworkPathMonitorTest)
#include "NetworkPathMonitorTest.moc"
