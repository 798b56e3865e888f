#include "TestMain.h"
#include "Files.h"
#include "platform/DesktopEntry.h"
#include "platform/XdgLoginItem.h"

#include <QtTest>

using namespace tender;

class XdgLoginItemTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    QString autostart() const { return dir_.filePath(QStringLiteral("autostart")); }

private slots:
    void enablingWritesAnEntryThatStartsTheProgram()
    {
        XdgLoginItem item(autostart(), "app.tender.Tender", "/opt/Tender App/tender");
        QVERIFY(!item.isEnabled());
        QVERIFY(item.setEnabled(true));
        QVERIFY(item.isEnabled());
        QCOMPARE(test::readFile(item.entryPath()),
                 "[Desktop Entry]\nType=Application\nName=Tender\nExec=\"/opt/Tender App/tender\"\n"
                 "X-GNOME-Autostart-enabled=true\n");
        QVERIFY(XdgLoginItem(autostart(), "app.tender.Tender", "/other").isEnabled());

        QVERIFY(item.setEnabled(true));
        QVERIFY(item.setEnabled(false));
        QVERIFY(!item.isEnabled());
        QVERIFY(!QFile::exists(item.entryPath()));
        QVERIFY(item.setEnabled(false));

        // An entry the desktop hid stays off until switched on again.
        QVERIFY(test::writeFile(item.entryPath(), "[Desktop Entry]\nExec=/usr/bin/tender\nHidden=true\n"));
        QVERIFY(!item.isEnabled());
        QVERIFY(item.setEnabled(true));
        QVERIFY(item.isEnabled());
        QVERIFY(!test::readFile(item.entryPath()).contains("Hidden"));
    }

    void aRefusedChangeIsReported()
    {
        QVERIFY(QFile(dir_.filePath("blocker")).open(QIODevice::WriteOnly));
        XdgLoginItem item(dir_.filePath("blocker/autostart"), "tender", "/usr/bin/tender");
        QVERIFY(!item.setEnabled(true));
        QVERIFY(!item.isEnabled());
    }

    // Without APPIMAGE the installed program's own path: InstallTreeTest's first start.
    void anAppImageStartsItselfFromTheConfigHome()
    {
        qputenv("XDG_CONFIG_HOME", dir_.path().toUtf8());
        qputenv("APPIMAGE", "/home/me/Tender.AppImage");
        XdgLoginItem item = XdgLoginItem::forThisProgram("tender");
        QCOMPARE(item.entryPath(), autostart() + "/tender.desktop");
        QVERIFY(item.setEnabled(true));
        QVERIFY(test::readFile(item.entryPath()).contains("\nExec=/home/me/Tender.AppImage\n"));
        qunsetenv("APPIMAGE");
    }

    void execArgumentsAreQuotedAndEscaped_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("argument");
        QTest::newRow("plain") << "/usr/bin/tender" << "/usr/bin/tender";
        QTest::newRow("space") << "/opt/my apps/tender" << "\"/opt/my apps/tender\"";
        QTest::newRow("dollar and quote") << "/opt/$x\"y/tender" << "\"/opt/\\\\$x\\\\\"y/tender\"";
        QTest::newRow("backslash") << "/opt/a\\b" << "\"/opt/a\\\\\\\\b\"";
        QTest::newRow("percent") << "/opt/100%/tender" << "\"/opt/100%%/tender\"";
        QTest::newRow("cyrillic") << "/home/мама/tender" << "/home/мама/tender";
    }

    void execArgumentsAreQuotedAndEscaped()
    {
        QFETCH(QString, program);
        QFETCH(QString, argument);
        QCOMPARE(DesktopEntry::execArgument(program), argument);
    }

    void onlyTheMainGroupHides_data()
    {
        QTest::addColumn<QString>("content");
        QTest::addColumn<bool>("hidden");
        QTest::newRow("hidden") << "[Desktop Entry]\nHidden=true\n" << true;
        QTest::newRow("spaced") << "[Desktop Entry]\r\nHidden = true\r\n" << true;
        QTest::newRow("false") << "[Desktop Entry]\nHidden=false\n" << false;
        QTest::newRow("other group") << "[Desktop Entry]\nName=x\n[Desktop Action a]\nHidden=true\n" << false;
        QTest::newRow("no key") << "[Desktop Entry]\nExec=tender\n" << false;
        QTest::newRow("prefix key") << "[Desktop Entry]\nHiddenish=true\n" << false;
    }

    void onlyTheMainGroupHides()
    {
        QFETCH(QString, content);
        QFETCH(bool, hidden);
        QCOMPARE(DesktopEntry::isHidden(content), hidden);
    }
};

TENDER_TEST_GUILESS_MAIN(XdgLoginItemTest)
#include "XdgLoginItemTest.moc"
