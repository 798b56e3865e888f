#include "TestMain.h"
#include "shell/SingleInstance.h"

#include <QLocalServer>

#include <memory>
#include <vector>

using namespace tender;

// The real tender executable as the second launch, handing its URL over to
// the instance that already runs.
class HandOverTest : public QObject {
    Q_OBJECT

    QTemporaryDir home;
    int instances = 0;

    // A fresh instance name per case, so cases never meet each other's instance.
    void nextInstance()
    {
        const qint64 pid = QCoreApplication::applicationPid();
        qputenv("TENDER_INSTANCE", QStringLiteral("handover-%1-%2").arg(pid).arg(++instances).toUtf8());
    }

    std::unique_ptr<QProcess> launch(const QStringList &arguments)
    {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("HOME", home.path());
        environment.insert("XDG_CONFIG_HOME", home.filePath("config"));
        environment.insert("XDG_DATA_HOME", home.filePath("data"));
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        process->setProcessEnvironment(environment);
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->start(QStringLiteral(TENDER_PATH), arguments);
        return process;
    }

    // The exit code of a launch that ended in time, or -1.
    static int exitCode(QProcess &process, int ms = 10'000)
    {
        const bool ended = QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, ms);
        return ended && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

private slots:
    void quickLaunchesArriveInOrderWithOrWithoutALinkAndABurstAllArrives()
    {
        // This process as the running instance.
        nextInstance();
        SingleInstance running(SingleInstance::defaultName());
        QVERIFY(running.listen());
        QList<QStringList> launches, handed; // what `running` received and what was handed to it
        running.onLaunch = [&](const QStringList &urls) { launches << urls; };
        for (int i = 0; i <= 10; ++i) {
            const QString link = QStringLiteral("tender://add/AAAAA-%1").arg(22222 + i);
            handed << (i < 10 ? QStringList{link} : QStringList()); // the last without one
            QCOMPARE(exitCode(*launch(handed.last())), 0);
            QCOMPARE(launches, handed);
        }

        // A burst all arrives, in any order, and every launch exits.
        launches.clear();
        handed.clear();
        std::vector<std::unique_ptr<QProcess>> seconds;
        for (int i = 0; i < 10; ++i) {
            handed << QStringList{QStringLiteral("tender://signin?state=S%1&uid=u&rt=r").arg(i)};
            seconds.push_back(launch({handed.last().first(), QStringLiteral("--not-a-url")}));
        }
        for (auto &second : seconds)
            QCOMPARE(exitCode(*second), 0);
        std::sort(launches.begin(), launches.end());
        QCOMPARE(launches, handed);
    }

    void anInstanceThatNeverAnswersEndsTheLaunchWithAnError()
    {
        nextInstance();
        QLocalServer silent;
        silent.setSocketOptions(QLocalServer::UserAccessOption | QLocalServer::AbstractNamespaceOption);
        QVERIFY(silent.listen(SingleInstance::defaultName()));
        QCOMPARE(exitCode(*launch({"tender://add/AAAAA-22222"}), 15'000), 1);
    }

    void twoFirstLaunchesAtOnceLeaveOneRunning()
    {
        nextInstance();
        auto first = launch({});
        auto second = launch({});
        // The loser hands over to the winner and exits; the winner runs on.
        QVERIFY(QTest::qWaitFor([&] {
            return first->state() == QProcess::NotRunning || second->state() == QProcess::NotRunning;
        }, 15'000));
        QProcess &loser = first->state() == QProcess::NotRunning ? *first : *second;
        QProcess &winner = &loser == first.get() ? *second : *first;
        QCOMPARE(loser.exitCode(), 0);
        QTest::qWait(500);
        QCOMPARE(winner.state(), QProcess::Running);

        // And the winner is the one that takes later launches.
        QCOMPARE(exitCode(*launch({"tender://add/AAAAA-22222"})), 0);
        QCOMPARE(winner.state(), QProcess::Running);
        winner.terminate();
        if (!winner.waitForFinished(5000))
            winner.kill();
    }
};

TENDER_TEST_GUILESS_MAIN(HandOverTest)
#include "HandOverTest.moc"
