#include "TestMain.h"
#include "shell/SingleInstance.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QtTest>

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
    QString nextInstance()
    {
        const QString suffix = QStringLiteral("handover-%1-%2").arg(QCoreApplication::applicationPid()).arg(++instances);
        qputenv("TENDER_INSTANCE", suffix.toUtf8());
        return suffix;
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

    static bool finishes(QProcess &process, int ms = 10'000)
    {
        return QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, ms);
    }

    static void stop(QProcess &process)
    {
        process.terminate();
        if (!process.waitForFinished(5000))
            process.kill();
        process.waitForFinished(1000);
    }

private slots:
    void tenQuickLaunchesArriveInOrder()
    {
        nextInstance();
        SingleInstance running(SingleInstance::defaultName());
        QVERIFY(running.listen());
        QStringList received;
        running.onLaunch = [&](const QStringList &urls) { received << urls; };

        QStringList handed;
        for (int i = 0; i < 10; ++i) {
            handed << QStringLiteral("tender://add/AAAAA-%1").arg(22222 + i);
            auto second = launch({handed.last()});
            QVERIFY(finishes(*second));
            QCOMPARE(second->exitStatus(), QProcess::NormalExit);
            QCOMPARE(second->exitCode(), 0);
            QCOMPARE(received, handed);
        }
    }

    void aLaunchWithoutALinkArrivesToo()
    {
        nextInstance();
        SingleInstance running(SingleInstance::defaultName());
        QVERIFY(running.listen());
        QList<QStringList> launches;
        running.onLaunch = [&](const QStringList &urls) { launches << urls; };

        auto second = launch({});
        QVERIFY(finishes(*second));
        QCOMPARE(second->exitCode(), 0);
        QCOMPARE(launches, QList<QStringList>{QStringList()});
    }

    void aBurstOfLaunchesAllArriveAndAllExit()
    {
        nextInstance();
        SingleInstance running(SingleInstance::defaultName());
        QVERIFY(running.listen());
        QStringList received;
        running.onLaunch = [&](const QStringList &urls) { received << urls; };

        QStringList handed;
        std::vector<std::unique_ptr<QProcess>> launches;
        for (int i = 0; i < 10; ++i) {
            handed << QStringLiteral("tender://signin?state=S%1&uid=u&rt=r").arg(i);
            launches.push_back(launch({handed.last(), QStringLiteral("--not-a-url")}));
        }
        for (auto &second : launches) {
            QVERIFY(finishes(*second));
            QCOMPARE(second->exitCode(), 0);
        }
        received.sort();
        handed.sort();
        QCOMPARE(received, handed);
    }

    void anInstanceThatNeverAnswersEndsTheLaunchWithAnError()
    {
        nextInstance();
        QLocalServer silent;
        silent.setSocketOptions(QLocalServer::UserAccessOption | QLocalServer::AbstractNamespaceOption);
        QVERIFY(silent.listen(SingleInstance::defaultName()));

        auto second = launch({"tender://add/AAAAA-22222"});
        QVERIFY(finishes(*second, 15'000));
        QCOMPARE(second->exitCode(), 1);
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
        auto third = launch({"tender://add/AAAAA-22222"});
        QVERIFY(finishes(*third));
        QCOMPARE(third->exitCode(), 0);
        QCOMPARE(winner.state(), QProcess::Running);
        stop(winner);
    }
};

TENDER_TEST_GUILESS_MAIN(HandOverTest)
#include "HandOverTest.moc"
