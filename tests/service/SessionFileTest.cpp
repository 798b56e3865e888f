#include "TestMain.h"
#include "service/AuthError.h"
#include "service/SessionFile.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace tender;

class SessionFileTest : public QObject {
    Q_OBJECT

private slots:
    void writesOwnerOnlyAndReadsBack()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("session.json");
        const Session session{"u", std::nullopt, "r"};
        QVERIFY(SessionFile::write(path, session));
        struct stat info {};
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &info), 0);
        QCOMPARE(int(info.st_mode & 07777), 0600);
        QCOMPARE(SessionFile::read(path), session);
        QFile raw(path);
        QVERIFY(raw.open(QIODevice::ReadOnly));
        QCOMPARE(QJsonDocument::fromJson(raw.readAll()).object(), (QJsonObject{{"uid", "u"}, {"refreshToken", "r"}}));
    }

    void failedWriteKeepsTheOldFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("session.json");
        const Session old{"u", QString("a@b.c"), "old"};
        QVERIFY(SessionFile::write(path, old));

        // The disk "fills up" halfway through the new file.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit saved {};
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit small = saved;
        small.rlim_cur = 100;
        setrlimit(RLIMIT_FSIZE, &small);
        const bool written = SessionFile::write(path, Session{"u", QString("a@b.c"), QString(5000, 'x')});
        setrlimit(RLIMIT_FSIZE, &saved);

        QVERIFY(!written);
        QCOMPARE(SessionFile::read(path), old);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"session.json"});
    }

    void unwritablePlaceFailsQuietly()
    {
        QTemporaryDir dir;
        const QString blocker = dir.filePath("file");
        QFile f(blocker);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        QVERIFY(!SessionFile::write(blocker + "/session.json", Session{"u", std::nullopt, "r"}));
        QCOMPARE(SessionFile::read(blocker + "/session.json"), std::nullopt);
    }

    void errorDescriptions_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("description");
        QTest::addColumn<bool>("endsSession");
        QTest::newRow("password") << "INVALID_PASSWORD" << "Неверный пароль" << false;
        QTest::newRow("weak with detail") << "WEAK_PASSWORD : Password should be at least 6 characters" << "Пароль слишком простой" << false;
        QTest::newRow("weak glued") << "WEAK_PASSWORDS" << "Не получилось войти (WEAK_PASSWORDS)" << false;
        QTest::newRow("email") << "INVALID_EMAIL" << "Проверь адрес почты" << false;
        QTest::newRow("missing email") << "MISSING_EMAIL" << "Проверь адрес почты" << false;
        QTest::newRow("missing password") << "MISSING_PASSWORD" << "Введи пароль" << false;
        QTest::newRow("busy") << "TOO_MANY_ATTEMPTS_TRY_LATER : later" << "Слишком много попыток, попробуй чуть позже" << false;
        QTest::newRow("disabled") << "USER_DISABLED" << "Этот аккаунт отключён" << true;
        QTest::newRow("callback") << "BAD_CALLBACK" << "Вход не завершился, попробуй ещё раз" << false;
        QTest::newRow("http") << "HTTP_503" << "Не получилось войти (HTTP_503)" << false;
        QTest::newRow("empty") << "" << "Не получилось войти ()" << false;
        QTest::newRow("expired") << "TOKEN_EXPIRED" << "Не получилось войти (TOKEN_EXPIRED)" << true;
        QTest::newRow("not found prefix") << "USER_NOT_FOUND: gone" << "Не получилось войти (USER_NOT_FOUND:)" << true;
        QTest::newRow("refresh token") << "INVALID_REFRESH_TOKEN" << "Не получилось войти (INVALID_REFRESH_TOKEN)" << true;
        QTest::newRow("grant") << "INVALID_GRANT_TYPE" << "Не получилось войти (INVALID_GRANT_TYPE)" << true;
        QTest::newRow("lower case") << "token_expired" << "Не получилось войти (token_expired)" << false;
    }
    void errorDescriptions()
    {
        QFETCH(QString, message);
        QFETCH(QString, description);
        QFETCH(bool, endsSession);
        const AuthError error = AuthError::server(message);
        QCOMPARE(error.description(), description);
        QCOMPARE(error.endsSession(), endsSession);
    }
};

TENDER_TEST_GUILESS_MAIN(SessionFileTest)
#include "SessionFileTest.moc"
