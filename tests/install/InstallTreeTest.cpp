#include "TestMain.h"
#include "Files.h"
#include <QSvgRenderer>
#include <QtTest>

// `cmake --install` of this build into a temporary prefix, and what a desktop
// then finds there.
class InstallTreeTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

    QString path(const QString &relative) const { return dir.filePath(relative); }

    QProcessEnvironment userEnvironment(const QString &user) const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("HOME", path(user));
        environment.insert("XDG_CONFIG_HOME", path(user + "/config"));
        environment.insert("XDG_DATA_HOME", path(user + "/data"));
        environment.remove("DESTDIR");
        return environment;
    }

    // Runs to the end; the exit code, or -1 when it crashed or did not finish.
    static int run(const QString &program, const QStringList &arguments,
                   const QProcessEnvironment &environment, QByteArray *output = nullptr)
    {
        QProcess process;
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(program, arguments);
        if (!process.waitForFinished(120'000) || process.exitStatus() != QProcess::NormalExit)
            return -1;
        const QByteArray all = process.readAll();
        if (output)
            *output = all;
        if (process.exitCode() != 0)
            qWarning().noquote() << program << arguments.join(' ') << "\n" << all;
        return process.exitCode();
    }

    static QString read(const QString &file) { return tender::test::readFile(file); }

private slots:
    void installsTheProgramsEntryIconsAndUrlScheme()
    {
        const QString prefix = path("prefix");
        const QStringList install{"--install", BUILD_DIR, "--prefix", prefix};
        QCOMPARE(run(CMAKE_COMMAND, install, userEnvironment("user")), 0);

        for (const char *program : {"tender", "tender-cli", "tender-server"}) {
            const QFileInfo installed(prefix + "/bin/" + program);
            QVERIFY2(installed.isFile() && installed.isExecutable(), program);
        }

        const QString text = read(prefix + "/share/applications/tender.desktop");
        QVERIFY(text.contains("\nMimeType=x-scheme-handler/tender;\n"));
        QVERIFY(text.contains("\nExec=" + prefix + "/bin/tender %u\n"));
        QVERIFY(text.contains("\nIcon=tender\n"));

        const QString theme = prefix + "/share/icons/hicolor/";
        for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
            const QImage png(theme + QStringLiteral("%1x%1/apps/tender.png").arg(size));
            QCOMPARE(png.size(), QSize(size, size));
            // The heart's colour in the circle, white in the heart.
            QCOMPARE(png.pixelColor(size / 2, size / 8).name(), QStringLiteral("#e0596b"));
            const QPoint inTheHeart(size / 2 - size / 8, size / 2 - size / 16);
            QCOMPARE(png.pixelColor(inTheHeart).name(), QStringLiteral("#ffffff"));
        }
        QSvgRenderer svg(theme + "scalable/apps/tender.svg");
        QVERIFY(svg.isValid());

        // A direct install registers the URL scheme.
        const QString cache = read(path("prefix/share/applications/mimeinfo.cache"));
        QVERIFY2(cache.contains(QRegularExpression("\nx-scheme-handler/tender=([^\n]*;)?tender.desktop;")),
                 qPrintable(cache));
        QVERIFY(read(path("user/config/mimeapps.list")).contains("\nx-scheme-handler/tender=tender.desktop"));

        // A desktop that reads this prefix opens tender:// links with the installed program.
        QProcessEnvironment desktop = userEnvironment("user");
        desktop.insert("XDG_DATA_DIRS", path("prefix/share"));
        QByteArray handler;
        QCOMPARE(run("xdg-mime", {"query", "default", "x-scheme-handler/tender"}, desktop, &handler), 0);
        QCOMPARE(handler.trimmed(), QByteArray("tender.desktop"));
    }

    void aStagedInstallWritesForItsPrefixAndRegistersNothing()
    {
        QProcessEnvironment packager = userEnvironment("packager");
        packager.insert("DESTDIR", path("stage"));
        QCOMPARE(run(CMAKE_COMMAND, {"--install", BUILD_DIR, "--prefix", "/usr"}, packager), 0);

        const QString entry = path("stage/usr/share/applications/tender.desktop");
        QVERIFY(read(entry).contains("\nExec=/usr/bin/tender %u\n"));
        QVERIFY(QFileInfo(path("stage/usr/bin/tender")).isExecutable());
        QVERIFY(!QFile::exists(path("stage/usr/share/applications/mimeinfo.cache")));
        QVERIFY(!QFile::exists(path("packager/config/mimeapps.list")));
    }

    // The launch-at-login switch is on after a first start; its entry starts the installed program.
    void theInstalledProgramsAutostartEntryStartsIt()
    {
        const QString program = path("prefix/bin/tender");
        QProcessEnvironment environment = userEnvironment("first-start");
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        const qint64 pid = QCoreApplication::applicationPid();
        environment.insert("TENDER_INSTANCE", QStringLiteral("install-test-%1").arg(pid));
        QProcess tender;
        tender.setProcessEnvironment(environment);
        tender.start(program, {});
        const QString autostart = path("first-start/config/autostart/tender.desktop");
        const bool written = QTest::qWaitFor([&] { return QFile::exists(autostart); }, 30'000);
        tender.terminate();
        tender.waitForFinished(5000);
        QVERIFY(written);
        QVERIFY(read(autostart).contains("\nExec=" + program + "\n"));

        // Both entries pass the desktop's own check.
        QByteArray report;
        const QStringList entries{path("prefix/share/applications/tender.desktop"), autostart};
        QCOMPARE(run("desktop-file-validate", entries, QProcessEnvironment::systemEnvironment(), &report), 0);
        QVERIFY2(!report.contains("error"), report.constData());
    }
};

TENDER_TEST_MAIN(InstallTreeTest)
#include "InstallTreeTest.moc"
