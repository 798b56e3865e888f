#include "TestMain.h"
#include "FakeService.h"
#include "records/Contact.h"
#include "service/SessionFile.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <pty.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

using namespace tender;
using namespace tender::test;

// tender-cli as a person uses it, against the scripted service.
class CliTest : public QObject {
    Q_OBJECT

    FakeService service;
    QTemporaryDir home;

    // Runs tender-cli, checks how it ended and hands back what it wrote: its output, or on failure
    // its error stream, without the trailing line end.
    QString cli(const QStringList &arguments, int status = 0, const QByteArray &input = {})
    {
        QProcess process;
        process.start(TENDER_CLI_PATH, arguments);
        process.write(input);
        process.closeWriteChannel();
        // The fake answers on this thread's loop, so wait without blocking it.
        (void)QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 20'000);
        const int exit = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        [&] { QCOMPARE(exit, status); }();
        const QByteArray text = status == 0 ? process.readAllStandardOutput() : process.readAllStandardError();
        return QString::fromUtf8(text).trimmed();
    }

private slots:
    // Every run talks to the fake and keeps its files in `home`.
    void initTestCase()
    {
        const auto endpoints = service.endpoints();
        qputenv("TENDER_API_BASE", endpoints.apiBase.toEncoded());
        qputenv("TENDER_WEB_BASE", endpoints.webBase.toEncoded());
        qputenv("TENDER_IDENTITY_BASE", endpoints.identityBase.toEncoded());
        qputenv("TENDER_TOKEN_BASE", endpoints.tokenBase.toEncoded());
        qputenv("TENDER_IDENTITY_KEY", FakeService::identityKey);
        qputenv("XDG_DATA_HOME", QFile::encodeName(home.path()));
    }

    void newUserSignsInAndSendsAHeart()
    {
        service.on("POST", FakeService::signInPath, FakeReply::identityError("EMAIL_NOT_FOUND"));
        service.on("POST", FakeService::signUpPath, FakeReply::account("u1", "new@b.c"));
        QVERIFY(cli({"login", "new@b.c"}, 0, "secret1\n").contains("new@b.c"));
        QCOMPARE(service.requests("POST", FakeService::signUpPath).value(0).json().value("password"),
                 QJsonValue("secret1"));
        QVERIFY(QFile::exists(home.filePath("Tender/session.json")));

        // Each run is a new process: the saved session is refreshed into a token.
        service.on("POST", FakeService::tokenPath, FakeReply::token("tok2"));
        service.on("GET", "/v1/me", FakeReply::json(200, {{"uid", "u1"}, {"invite_url", "http://w/i/ABCDE-FGHJK"}}));
        QVERIFY(cli({"me"}).contains("http://w/i/ABCDE-FGHJK"));

        const Contact boris{"c1", "Борис", 0, true};
        const Contact anna{"c2", "Аня", 1, {}};
        service.on("POST", "/v1/contacts", FakeReply::json(200, anna.toJson()));
        cli({"add", " https://w/i/zzzzz-22222?x=1 ", "Аня"});
        QCOMPARE(service.requests("POST", "/v1/contacts").value(0).json(),
                 (QJsonObject{{"code", "zzzzz-22222"}, {"label", "Аня"}, {"close", false}}));

        service.on("GET", "/v1/contacts", FakeReply::json(200, {{"contacts", QJsonArray{boris.toJson(), anna.toJson()}}}));
        QCOMPARE(cli({"contacts"}), QString("c1\tБорис\t★\nc2\tАня"));

        service.on("POST", "/v1/events", FakeReply{204, {}});
        cli({"send", "аня"});
        QCOMPARE(service.requests("POST", "/v1/events").value(0).json(),
                 (QJsonObject{{"type", "signal"}, {"to", QJsonObject{{"contact", "c2"}}}}));
        cli({"send", "Вера"}, 2);
        QCOMPARE(service.requests("POST", "/v1/events").size(), 1);

        service.on("POST", "/v1/events", FakeReply::json(429, {{"error", "once an hour"}}));
        QCOMPARE(cli({"anyone"}, 1), QString("Слишком много попыток, попробуй через час"));

        cli({"logout"});
        QVERIFY(!QFile::exists(home.filePath("Tender/session.json")));
        QCOMPARE(cli({"me"}, 1), QString("Нужно войти заново"));

        // Wrong usage explains itself.
        QVERIFY(cli({"send"}, 2).contains("--help"));
        const QString help = cli({"--help"});
        for (const char *command : {"login", "logout", "me", "contacts", "add", "send", "anyone", "devices", "listen"})
            QVERIFY2(help.contains(QString("  %1 ").arg(command)), command);
    }

    void listenPrintsOneLinePerEvent()
    {
        QVERIFY(SessionFile::write(home.filePath("Tender/session.json"), Session{"u1", {}, "rt"}));
        service.on("POST", FakeService::tokenPath, FakeReply::token("tok3"));
        QProcess process;
        auto stop = qScopeGuard([&] {
            process.kill();
            process.waitForFinished();
        });
        process.start(TENDER_CLI_PATH, {"listen", "--no-anyone"});
        QTRY_VERIFY(service.last());
        StreamPeer *peer = service.last();
        QCOMPARE(peer->request.query.query(), QString("anyone=false"));
        peer->sendText(R"({"type":"ready"})");
        peer->sendText(R"({"type":"event","event":{"type":"signal","v":1}})");
        peer->sendText(R"({"type":"sync"})");
        QByteArray out;
        QTRY_COMPARE((out += process.readAllStandardOutput()), QByteArray("online\nsync\nsignal\nsync\n"));
        peer->drop();
        QTRY_COMPARE((out += process.readAllStandardOutput()), QByteArray("online\nsync\nsignal\nsync\noffline\n"));
    }

    // The provider's refusal is told as it is, and the dead session is forgotten.
    void aSessionThatEndsIsForgotten()
    {
        const QString file = home.filePath("Tender/session.json");
        const std::tuple<QString, QString, QString> rows[] = { // command, refusal, what is said
            {"me", "TOKEN_EXPIRED", "Не получилось войти (TOKEN_EXPIRED)"},
            {"listen", "USER_DISABLED", "Этот аккаунт отключён"},
        };
        for (const auto &[command, refusal, said] : rows) {
            QVERIFY(SessionFile::write(file, Session{"u1", {}, "rt"}));
            service.on("POST", FakeService::tokenPath, FakeReply::identityError(refusal));
            QCOMPARE(cli({command}, 1), said);
            QVERIFY2(!QFile::exists(file), qPrintable(command));
        }
    }

    // Ctrl+C at the password prompt gives the terminal its echo back.
    void interruptedPasswordPromptRestoresTheTerminal()
    {
        QByteArray environment = "XDG_DATA_HOME=" + home.path().toLocal8Bit();
        char *envp[] = {environment.data(), nullptr};
        int terminal = -1;
        const pid_t child = forkpty(&terminal, nullptr, nullptr, nullptr);
        QVERIFY(child >= 0);
        if (child == 0) {
            execle(TENDER_CLI_PATH, "tender-cli", "login", "a@b.c", nullptr, envp);
            _exit(127);
        }
        auto echoes = [terminal] {
            termios mode{};
            return tcgetattr(terminal, &mode) == 0 && (mode.c_lflag & ECHO);
        };
        // The prompt is up once the echo is off; the interrupt comes from the keyboard.
        QVERIFY(QTest::qWaitFor([&] { return !echoes(); }, 20'000));
        QCOMPARE(write(terminal, "\x03", 1), ssize_t(1));
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY(echoes());
        close(terminal);
    }
};

TENDER_TEST_GUILESS_MAIN(CliTest)
#include "CliTest.moc"
