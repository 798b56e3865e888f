#include "TestMain.h"
#include "platform/PresentingRules.h"

#include <QTest>

using namespace tender;

namespace {

constexpr qint64 own = 100;
constexpr qint64 other = 200;
const QList<QSizeF> twoScreens{{1920, 1080}, {1280, 1024}};

DesktopWindow window(qint64 pid, QRectF bounds, int layer = 0)
{
    return DesktopWindow{pid, layer, bounds};
}

DesktopState frontWith(std::optional<qint64> front, QList<DesktopWindow> windows)
{
    return DesktopState{front, own, std::move(windows), twoScreens};
}

} // namespace

Q_DECLARE_METATYPE(DesktopState)

class PresentingRulesTest : public QObject {
    Q_OBJECT

private slots:
    void screensWithOneGeometryAreMirrored()
    {
        using PresentingRules::mirrored;
        QVERIFY(!mirrored({}));
        QVERIFY(!mirrored({QRect(0, 0, 1920, 1080)}));
        QVERIFY(!mirrored({QRect(0, 0, 1920, 1080), QRect(1920, 0, 1920, 1080)}));
        QVERIFY(mirrored({QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024), QRect(0, 0, 1920, 1080)}));
        // Overlapping is not the same picture.
        QVERIFY(!mirrored({QRect(0, 0, 1920, 1080), QRect(0, 0, 1280, 1024)}));
    }

    void theFrontAppCoversAScreen_data()
    {
        QTest::addColumn<DesktopState>("desktop");
        QTest::addColumn<bool>("fullScreen");

        const QRectF first(0, 0, 1920, 1080);
        QTest::newRow("front window fills a screen") << frontWith(other, {window(other, first)}) << true;
        QTest::newRow("second screen's size, placed on the first")
            << frontWith(other, {window(other, QRectF(100, 50, 1280, 1024))}) << true;
        QTest::newRow("any of its windows, in any order")
            << frontWith(other, {window(other, QRectF(0, 0, 800, 600)), window(7, first), window(other, first)}) << true;
        QTest::newRow("a higher layer counts") << frontWith(other, {window(other, first, 25)}) << true;
        QTest::newRow("no front app") << frontWith(std::nullopt, {window(other, first)}) << false;
        QTest::newRow("this app in front") << frontWith(own, {window(own, first)}) << false;
        QTest::newRow("another app fills the screen") << frontWith(other, {window(7, first)}) << false;
        QTest::newRow("one pixel short") << frontWith(other, {window(other, QRectF(0, 0, 1920, 1079))}) << false;
        QTest::newRow("fractional size") << frontWith(other, {window(other, QRectF(0, 0, 1920, 1080.5))}) << false;
        QTest::newRow("negative layer") << frontWith(other, {window(other, first, -1)}) << false;
        QTest::newRow("no bounds") << frontWith(other, {DesktopWindow{other, 0, std::nullopt}}) << false;
        QTest::newRow("no layer") << frontWith(other, {DesktopWindow{other, std::nullopt, first}}) << false;
        QTest::newRow("no pid") << frontWith(other, {DesktopWindow{std::nullopt, 0, first}}) << false;
        QTest::newRow("pid compared in 32 bits")
            << frontWith(other + (qint64(1) << 32), {window(other, first)}) << true;
        QTest::newRow("no screens") << DesktopState{other, own, {window(other, first)}, {}} << false;
    }

    void theFrontAppCoversAScreen()
    {
        QFETCH(DesktopState, desktop);
        QFETCH(bool, fullScreen);
        QCOMPARE(PresentingRules::frontAppFullScreen(desktop), fullScreen);
    }
};

TENDER_TEST_GUILESS_MAIN(PresentingRulesTest)
#include "PresentingRulesTest.moc"
