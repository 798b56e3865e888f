#include "TestMain.h"
#include "ManualClock.h"
#include "platform/SystemClock.h"

#include <QCoroTimer>
#include <QtTest>

using namespace tender;
using namespace std::chrono_literals;

namespace {

QCoro::Task<> sleepThenRecord(Clock &clock, Milliseconds delay, QStringList &log, QString name)
{
    co_await clock.sleep(delay);
    log << QStringLiteral("%1@%2").arg(name).arg(clock.now().time().toString(QStringLiteral("ss.zzz")));
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
        QTRY_COMPARE_WITH_TIMEOUT(log.size(), 1, 5000);
        QVERIFY(repeats >= 2);
        QVERIFY(!cancelledRan);
        QVERIFY(qAbs(clock.now().msecsTo(QDateTime::currentDateTimeUtc())) < 1000);
    }
};

TENDER_TEST_GUILESS_MAIN(ClockTest)
#include "ClockTest.moc"
