#include "TestMain.h"
#include "FakeSettingsPortal.h"
#include "Files.h"
#include "PrivateDBus.h"
#include "platform/DesktopEntry.h"
#include "platform/DesktopReduceMotion.h"
#include "platform/DesktopUrlOpener.h"
#include "platform/MotionSettings.h"
#include "platform/QtClipboard.h"
#include "platform/QtSoundPlayer.h"
#include "platform/XdgLoginItem.h"

#include <QSoundEffect>
#include <QtGui>
#include <QtTest>

using namespace tender;
using Factor = std::optional<double>;

// What the app asks of the desktop: the clipboard, links, sounds, a start at login, reduced motion;
// the desktop's settings come from a config home and folders of the test's own.
class DesktopServicesTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString autostart() const { return dir_.filePath(QStringLiteral("home/autostart")); }
    QList<QUrl> opened_;

public slots:
    // The desktop's handler of https links, as the test plays it.
    void open(const QUrl &url) { opened_ << url; }

private slots:
    void initTestCase()
    {
        qputenv("XDG_CONFIG_HOME", dir_.filePath("home").toUtf8());
        qputenv("XDG_CONFIG_DIRS", dir_.filePath("system").toUtf8());
    }

    void theClipboardHoldsOnlyTheNewText()
    {
        auto *rich = new QMimeData;
        rich->setHtml(QStringLiteral("<b>old</b>"));
        rich->setText(QStringLiteral("old"));
        QGuiApplication::clipboard()->setMimeData(rich);

        const QString invite = QStringLiteral("https://tender.example/i/AbCdE-fGhJ");
        QtClipboard().setText(invite);
        const QMimeData *now = QGuiApplication::clipboard()->mimeData();
        QCOMPARE(now->text(), invite);
        QVERIFY(!now->hasHtml());
    }

    void urlsGoToTheDesktopsHandler()
    {
        QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "open");
        DesktopUrlOpener opener;
        const QUrl url(QStringLiteral("https://tender.example/signin?state=a%20b"));
        QVERIFY(opener.open(url));
        QVERIFY(!opener.open(QUrl()));
        QCOMPARE(opened_, QList<QUrl>{url});
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    }

    void purrIsShippedAndLoadsAndAMissingSoundIsSkipped()
    {
        QtSoundPlayer player;
        QSoundEffect *purr = player.effect(QStringLiteral("Purr"));
        QVERIFY(purr);
        QCOMPARE(player.effect(QStringLiteral("Purr")), purr);
        player.play(QStringLiteral("Purr"), 0.35f);
        QCOMPARE(purr->volume(), 0.35f);
        QTRY_COMPARE(purr->status(), QSoundEffect::Ready);

        QVERIFY(!player.effect(QStringLiteral("Glass")));
        QVERIFY(!player.effect(QStringLiteral("../sounds/Purr")));
        player.play(QStringLiteral("Glass"), 1.0f);
        QCOMPARE(player.findChildren<QSoundEffect *>(), QList<QSoundEffect *>{purr});
    }

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

    // In the config home; without APPIMAGE the installed program's own path: InstallTreeTest's first start.
    void anAppImageStartsItselfFromTheConfigHome()
    {
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

    void kdeFactorIsReadFromItsGroupOnly_data()
    {
        QTest::addColumn<QString>("content");
        QTest::addColumn<Factor>("factor");
        QTest::newRow("off") << "[General]\nName=x\n\n[KDE]\nAnimationDurationFactor=0\n" << Factor(0);
        QTest::newRow("slower") << "[KDE]\nSingleClick=false\nAnimationDurationFactor=0.5\n" << Factor(0.5);
        QTest::newRow("immutable") << "[KDE]\nAnimationDurationFactor[$i]=0\n" << Factor(0);
        QTest::newRow("other group") << "[KDE]\nSingleClick=0\n[Other]\nAnimationDurationFactor=0\n"
                                     << Factor();
        QTest::newRow("not a number") << "[KDE]\nAnimationDurationFactor=none\n" << Factor();
        QTest::newRow("empty") << "" << Factor();
    }

    void kdeFactorIsReadFromItsGroupOnly()
    {
        QFETCH(QString, content);
        QFETCH(Factor, factor);
        QCOMPARE(MotionSettings::kdeAnimationDurationFactor(content), factor);
    }

    void thePortalIsReadAndWatched()
    {
        // Its values are booleans in variants.
        using MotionSettings::reduceFromPortalValue;
        QCOMPARE(reduceFromPortalValue(false), true);
        QCOMPARE(reduceFromPortalValue(true), false);
        QCOMPARE(reduceFromPortalValue(QStringLiteral("false")), std::nullopt);
        QCOMPARE(reduceFromPortalValue(0), std::nullopt);
        QCOMPARE(reduceFromPortalValue(QVariant()), std::nullopt);

        test::PrivateDBus bus;
        test::FakeSettingsPortal portal(bus.connect("portal"), false);

        DesktopReduceMotion reduce(bus.connect("app"));
        QList<bool> changes;
        reduce.onChange = [&](bool enabled) { changes << enabled; };
        QTRY_VERIFY(reduce.enabled());
        QCOMPARE(portal.reads, 1);
        QCOMPARE(changes, QList<bool>{true});

        portal.change("org.gnome.desktop.interface", "cursor-size", 48);
        portal.change("org.gnome.desktop.a11y", "enable-animations", true);
        portal.change("org.gnome.desktop.interface", "enable-animations", true);
        QTRY_COMPARE(changes, (QList<bool>{true, false}));
        QVERIFY(!reduce.enabled());
    }

    void withoutThePortalKdeDecides()
    {
        QVERIFY(!DesktopReduceMotion(QDBusConnection(QStringLiteral("never connected"))).enabled());
        test::PrivateDBus bus;
        test::FakeSettingsPortal portal(bus.connect("portal"), std::nullopt);
        DesktopReduceMotion reduce(bus.connect("app"));
        QTRY_COMPARE(portal.reads, 1);
        QVERIFY(!reduce.enabled());

        QVERIFY(test::writeFile(dir_.filePath("system/kdeglobals"), "[KDE]\nAnimationDurationFactor=0\n"));
        QVERIFY(reduce.enabled());
        QVERIFY(test::writeFile(dir_.filePath("home/kdeglobals"), "[KDE]\nAnimationDurationFactor=0.5\n"));
        QVERIFY(!reduce.enabled());
        QVERIFY(test::writeFile(dir_.filePath("home/kdeglobals"), "[KDE]\nAnimationDurationFactor=0.0\n"));
        QVERIFY(reduce.enabled());
    }
};

TENDER_TEST_MAIN(DesktopServicesTest)
#include "DesktopServicesTest.moc"
