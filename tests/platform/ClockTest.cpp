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
    QDBusMessage signal = QDBusMessage::createSignal("/org/freedesktop/login1", "org.freedesktop.login1.Manager",
                                                     "PrepareForSleep");
    signal << sleeping;
    QVERIFY(bus.send(signal));
}

} // namespace

class ClockTest : public QObject {
    Q_OBJECT

private slots:
    void manualClockFiresDueActionsInOrder()
    {
        test::ManualClock clock(QDateTime(QDate(2026, 1, 1), QTime(0, 0), Qt::UTC));
        QStringList log;
        const auto record = [&](QString n) { return [&, n] { log << n + clock.now().toString("@ss"); }; };
        auto late = clock.singleShot(3s, record("late"));
        auto early = clock.singleShot(1s, record("early"));
        auto tie = clock.singleShot(1s, record("tie"));
        clock.advance(999ms);
        QVERIFY(log.isEmpty());
        clock.advance(5s);
        QCOMPARE(log, (QStringList{"early@01", "tie@01", "late@03"}));
        QCOMPARE(clock.now().time(), QTime(0, 0, 5, 999));
        QVERIFY(!early->isActive());

        std::unique_ptr<Timer> self = clock.singleShot(1s, [&] { self.reset(); log << "gone"; });
        clock.advance(1s);
        QCOMPARE(log.last(), "gone"); // an action may destroy its own timer
    }

    void manualClockRepeatsAndCancels()
    {
        test::ManualClock clock;
        int fired = 0;
        std::unique_ptr<Timer> once;
        auto every = clock.repeating(30s, [&] {
            ++fired;
            // An action scheduling another that falls due inside the same advance.
            once = clock.singleShot(1s, [&] { fired += 100; });
        });
        clock.advance(61s);
        QCOMPARE(fired, 202);

        every.reset();
        auto cancelled = clock.singleShot(1s, [&] { fired = -1; });
        cancelled->cancel();
        clock.advance(120s);
        QCOMPARE(fired, 202);
        QCOMPARE(clock.pendingCount(), 0);
    }

    void sleepResumesOnManualClock()
    {
        test::ManualClock clock(QDateTime(QDate(2026, 1, 1), QTime(0, 0), Qt::UTC));
        QStringList log;
        auto a = sleepThenRecord(clock, 2s, log, "a");
        auto b = sleepThenRecord(clock, 500ms, log, "b");
        clock.advance(1s);
        QCOMPARE(log, QStringList{"b@00.500"});
        clock.advance(1s);
        QCOMPARE(log, (QStringList{"b@00.500", "a@02.000"}));
    }

    void systemClockTimersRunOnTheEventLoop()
    {
        SystemClock clock;
        QStringList log;
        auto a = sleepThenRecord(clock, 30ms, log, "slept");
        int repeats = 0;
        auto every = clock.repeating(5ms, [&] { ++repeats; });
        bool cancelledRan = false;
        auto cancelled = clock.singleShot(1ms, [&] { cancelledRan = true; });
        cancelled.reset();
        // A stalled process may fire both timers in one go, hence waiting for both.
        QTRY_VERIFY_WITH_TIMEOUT(log.size() == 1 && repeats >= 2, 60'000);
        QVERIFY(!cancelledRan);
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
        QTest::qWait(50);
        QCOMPARE(wakes, 1);
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
