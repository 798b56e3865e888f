#include "TestMain.h"
#include "ManualClock.h"
#include "platform/QtNetworkPathMonitor.h"

#include <QNetworkInformation>
#include <QtTest>

using namespace tender;
using namespace std::chrono_literals;
using Reachability = NetworkReachability;
using Name = std::optional<QString>;
using Snapshot = NetworkSnapshot;

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

TENDER_TEST_GUILESS_MAIN(NetworkPathMonitorTest)
#include "NetworkPathMonitorTest.moc"
