#include "TestMain.h"
#include "ManualClock.h"
#include "PrivateDBus.h"
#include "platform/ClockJumpWakeMonitor.h"
#include "platform/LogindWakeMonitor.h"
#include "platform/SystemClock.h"

#include <QCoroTimer>
#include <QDBusMessage>
#include <QtTest>

using namespace tender;
using namespace std::chrono_literals;

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

} // namespace

class ClockTest : public QObject {
    Q_OBJECT

private slots:
    void sleepResumesOnManualClock()
    {
        test::ManualClock clock(QDateTime(QDate(2026, 1, 1), QTime(0, 0), Qt::UTC));
        QStringList log;
        auto a = sleepThenRecord(clock, 2s, log, "a");
        auto b = sleepThenRecord(clock, 500ms, log, "b");
        clock.advance(2s);
        QCOMPARE(log, (QStringList{"b@00.500", "a@02.000"}));
    }

    void systemClockTimersRunOnTheEventLoop()
    {
        SystemClock clock;
        QStringList log;
        auto a = sleepThenRecord(clock, 30ms, log, "slept");
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
        QVERIFY2(bus.isRunning(), "dbus-daemon did not start");
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
};

TENDER_TEST_GUILESS_MAIN(ClockTest)
#include "ClockTest.moc"
