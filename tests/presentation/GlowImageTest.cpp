#include "TestMain.h"
#include "presentation/GlowImage.h"
#include "presentation/GlowImageProvider.h"
#include "presentation/GlowPlan.h"

#include <QtGui>
#include <QtTest>

using namespace tender;
using Edge = GlowImage::Edge;

namespace {

constexpr Edge edges[] = {Edge::Top, Edge::Bottom, Edge::Left, Edge::Right};

// The light at a logical point of the screen, read from whichever strip holds it.
QColor lightAt(const GlowImage &glow, qreal scale, QPointF point)
{
    for (Edge edge : edges) {
        const QRectF at = glow.placement(edge);
        if (at.contains(point)) {
            const QPointF pixel = (point - at.topLeft()) * scale;
            return glow.strip(edge).pixelColor(int(pixel.x()), int(pixel.y()));
        }
    }
    return Qt::transparent;
}

} // namespace

class GlowImageTest : public QObject {
    Q_OBJECT

private slots:
    void lightIsStrongestAtTheEdgeAndHalfAtTheInset()
    {
        const GlowImage glow(QSize(400, 300), 1.0, QColor(255, 0, 0));
        const int edge = lightAt(glow, 1, {200.5, 0.5}).alpha();
        const int inset = lightAt(glow, 1, {200.5, GlowPlan::inset}).alpha();
        const int deeper = lightAt(glow, 1, {200.5, 30.5}).alpha();
        QVERIFY2(edge > 180 && edge <= 230, qPrintable(QString::number(edge)));
        QVERIFY2(qAbs(inset - 0.45 * 255) <= 6, qPrintable(QString::number(inset)));
        QVERIFY(deeper < inset && deeper > 0);
        // Corners take light from both directions.
        QVERIFY(lightAt(glow, 1, {0.5, 0.5}).alpha() > edge);
        for (QPointF at : {QPointF(0.5, 150.5), QPointF(399.5, 150.5), QPointF(200.5, 299.5)})
            QCOMPARE(lightAt(glow, 1, at).alpha(), edge);
        QCOMPARE(lightAt(glow, 1, {200.5, 0.5}).rgb(), qRgb(255, 0, 0));
    }

    void stripsTileTheBandAndHoldAllTheLight()
    {
        const QSize screen(640, 480);
        const GlowImage glow(screen, 1.0, Qt::green);
        const double band = GlowPlan::bandWidth();
        QRegion covered;
        qint64 area = 0;
        for (Edge edge : edges) {
            const QRect at = glow.placement(edge).toRect();
            QVERIFY(!covered.intersects(at));
            covered += at;
            area += qint64(at.width()) * at.height();
        }
        QCOMPARE(covered, QRegion(QRect(QPoint(), screen)) - QRegion(QRect(QPoint(), screen).adjusted(int(band), int(band), -int(band), -int(band))));
        QCOMPARE(area, qint64(screen.width()) * screen.height() - qint64(screen.width() - 2 * band) * (screen.height() - 2 * band));
        // What lies just inside the band would round to nothing.
        QCOMPARE(lightAt(glow, 1, {320.5, band - 0.5}).alpha(), 0);
    }

    // Without a compositor a window keeps only the light that shows; what is
    // fainter would come out dark.
    void visiblePartHoldsTheStrongLightOnly()
    {
        const QSize screen(320, 240);
        const GlowImage glow(screen, 1.0, Qt::red);
        QImage light(screen, QImage::Format_ARGB32_Premultiplied);
        light.fill(Qt::transparent);
        QPainter painter(&light);
        for (Edge edge : edges)
            painter.drawImage(glow.placement(edge).topLeft(), glow.strip(edge));
        painter.end();
        const QRegion visible = glow.visible();
        const int least = int(std::lround(255 * GlowPlan::visibleAlpha));
        int kept = 0;
        for (int y = 0; y < screen.height(); ++y)
            for (int x = 0; x < screen.width(); ++x) {
                const int alpha = qAlpha(light.pixel(x, y));
                if (qAbs(alpha - least) > 1)
                    QVERIFY2(visible.contains(QPoint(x, y)) == (alpha > least), qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
                kept += visible.contains(QPoint(x, y));
            }
        // A band along every edge, far narrower than where any light reaches.
        QVERIFY(visible.contains(QPoint(160, 0)) && visible.contains(QPoint(0, 120)) && visible.contains(QPoint(319, 239)));
        const int half = int(GlowPlan::bandWidth() / 2);
        QVERIFY(kept < screen.width() * screen.height() - (screen.width() - 2 * half) * (screen.height() - 2 * half));
        QCOMPARE(GlowImage(screen, 2.0, Qt::red).visible().boundingRect(), QRect(QPoint(), screen));
    }

    void doubleScaleDrawsTwiceThePixelsWithTheSameLight()
    {
        const GlowImage one(QSize(300, 200), 1.0, Qt::blue), two(QSize(300, 200), 2.0, Qt::blue);
        QCOMPARE(two.strip(Edge::Top).size(), one.strip(Edge::Top).size() * 2);
        QCOMPARE(two.strip(Edge::Top).devicePixelRatio(), 2.0);
        QCOMPARE(two.placement(Edge::Left), one.placement(Edge::Left));
        for (QPointF at : {QPointF(150, 0.75), QPointF(2.25, 100), QPointF(150, 14.25)})
            QVERIFY(qAbs(lightAt(two, 2, at).alpha() - lightAt(one, 1, at).alpha()) <= 12);
    }

    void providerServesStripsAndRefusesNonsense()
    {
        GlowImageProvider provider;
        const QColor colour(0x12, 0x34, 0x56);
        const QString source = GlowImageProvider::source(colour, QSize(800, 600), 2, Edge::Right);
        const QString prefix = QStringLiteral("image://tenderglow/");
        QVERIFY(source.startsWith(prefix));
        QSize size;
        const QImage image = provider.requestImage(source.mid(prefix.size()), &size, {});
        QCOMPARE(image, GlowImage(QSize(800, 600), 2, colour).strip(Edge::Right));
        QCOMPARE(size, image.size());
        for (const char *bad : {"", "ff123456/800x600@2/middle", "ff123456/0x600@1/top", "zz/800x600@1/top",
                                "ff123456/99999x600@1/top", "ff123456/800x600@0/top"})
            QVERIFY(provider.requestImage(QString::fromLatin1(bad), &size, {}).isNull());
    }
};

TENDER_TEST_GUILESS_MAIN(GlowImageTest)
#include "GlowImageTest.moc"
