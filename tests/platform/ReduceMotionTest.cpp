#include "TestMain.h"
#include "Files.h"
#include "FakeSettingsPortal.h"
#include "PrivateDBus.h"
#include "platform/DesktopReduceMotion.h"
#include "platform/MotionSettings.h"

#include <QtTest>

using namespace tender;
using Factor = std::optional<double>;

class ReduceMotionTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;

private slots:
    void initTestCase()
    {
        qputenv("XDG_CONFIG_HOME", dir_.filePath("home").toUtf8());
        qputenv("XDG_CONFIG_DIRS", dir_.filePath("system").toUtf8());
    }

    void portalValuesAreBooleansInVariants()
    {
        using MotionSettings::reduceFromPortalValue;
        QCOMPARE(reduceFromPortalValue(false), true);
        QCOMPARE(reduceFromPortalValue(true), false);
        QCOMPARE(reduceFromPortalValue(QStringLiteral("false")), std::nullopt);
        QCOMPARE(reduceFromPortalValue(0), std::nullopt);
        QCOMPARE(reduceFromPortalValue(QVariant()), std::nullopt);
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
        test::PrivateDBus bus;
        QVERIFY2(bus.isRunning(), "dbus-daemon did not start");
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
        QVERIFY(bus.isRunning());
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

TENDER_TEST_GUILESS_MAIN(ReduceMotionTest)
#include "ReduceMotionTest.moc"
