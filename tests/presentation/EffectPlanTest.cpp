#include "TestMain.h"
#include "SequenceRandom.h"
#include "presentation/EffectPlan.h"
#include "presentation/GlowImage.h"
#include "presentation/GlowImageProvider.h"
#include "presentation/Overlay.h"

#include <QtGui>
#include <QtTest>

using namespace tender;
using tender::test::SequenceRandom;
using Edge = GlowImage::Edge;

namespace {

constexpr QSizeF screen(1000, 800);

// What a key-frame track shows at `seconds` when each step runs its own easing.
double stepsValueAt(const KeyframeSteps &steps, double seconds)
{
    for (const KeyframeStep &step : steps)
        if (seconds < step.start + step.duration)
            return step.from
                + (step.to - step.from) * step.easing.progressAt((seconds - step.start) / step.duration);
    return steps.back().to;
}

// Linear key frames read at a progress of the whole group.
double linearKeyframes(const std::vector<double> &values, const std::vector<double> &times, double progress)
{
    for (size_t i = 0; i + 1 < values.size(); ++i)
        if (progress <= times[i + 1])
            return values[i]
                + (values[i + 1] - values[i]) * (progress - times[i]) / (times[i + 1] - times[i]);
    return values.back();
}

// Both ends of every leg as (seconds, value), against key frames at `times` of the glow's 2.6 s, each leg
// eased in and out.
void compareLegs(const KeyframeSteps &steps, const QList<double> &values, const QList<double> &times)
{
    QCOMPARE(qsizetype(steps.size()) + 1, values.size());
    QList<QPointF> legs, expected;
    for (qsizetype i = 0; i < values.size() - 1; ++i) {
        const KeyframeStep &leg = steps[size_t(i)];
        legs << QPointF(leg.start, leg.from) << QPointF(leg.start + leg.duration, leg.to);
        expected << QPointF(times[i] * 2.6, values[i]) << QPointF(times[i + 1] * 2.6, values[i + 1]);
        QCOMPARE(leg.easing.spline(), TimingCurve::easeInEaseOut().spline());
    }
    QCOMPARE(legs, expected);
}

constexpr Edge edges[] = {Edge::Top, Edge::Bottom, Edge::Left, Edge::Right};

// The screen's light as the strips draw it, one pixel per device pixel.
QImage lightOf(const GlowImage &glow, QSize screen, qreal scale)
{
    QImage light(screen * scale, QImage::Format_ARGB32_Premultiplied);
    light.setDevicePixelRatio(scale);
    light.fill(Qt::transparent);
    QPainter painter(&light);
    for (Edge edge : edges)
        painter.drawImage(glow.placement(edge).topLeft(), glow.strip(edge));
    painter.end();
    return light;
}

// Its colour at a logical point.
QColor lightAt(const QImage &light, QPointF point)
{
    const QPointF pixel = point * light.devicePixelRatio();
    return light.pixelColor(int(pixel.x()), int(pixel.y()));
}

} // namespace

class EffectPlanTest : public QObject {
    Q_OBJECT

private slots:
    // Qt's own Bézier easing is what animates them on screen.
    void timingCurvesMatchTheirDefinitionAndTheGlowsLegsUseThem()
    {
        for (TimingCurve curve : {EmojiFlight::groupEasing, TimingCurve::easeInEaseOut()}) {
            QEasingCurve reference(QEasingCurve::BezierSpline);
            reference.addCubicBezierSegment({curve.x1(), curve.y1()}, {curve.x2(), curve.y2()}, {1, 1});
            for (double t : {0.0, 0.05, 0.2, 0.35, 0.5, 0.8, 0.97, 1.0}) {
                const double progress = curve.progressAt(t), expected = reference.valueForProgress(t);
                QVERIFY2(qAbs(progress - expected) < 2e-4, qPrintable(QString::number(t)));
                QVERIFY(qAbs(curve.timeOf(progress) - t) < 1e-9);
            }
        }
        // The glow blinks three times, or fades in and out when calm.
        compareLegs(GlowPlan::make(Qt::red, false).opacity, {0, 1, 0.25, 1, 0.25, 1, 0},
                    {0, 0.12, 0.28, 0.45, 0.61, 0.78, 1});
        compareLegs(GlowPlan::make(Qt::red, true).opacity, {0, 0.7, 0.7, 0}, {0, 0.3, 0.7, 1});
    }

    void lowestAndHighestDrawsGiveRangeEndsAndTracksFollowTheGroupTiming_data()
    {
        QTest::addColumn<double>("draw");
        QTest::addColumn<QVariantList>("flight");
        // Glyph, size, seconds of flight and of waiting, tilt; then the path: x 4 % of 1000 in, rising 45 %
        // of 800, drifting -60, swaying 14 turned left by the coin; and the other end.
        QTest::newRow("lowest") << 0.0
                                << QVariantList{Overlay::warm.first(), 24.0, 3.0, 0.0, 0.1, QPointF(40, 824),
                                                QPointF(26, 674), QPointF(-6, 548), QPointF(-20, 440)};
        QTest::newRow("highest") << 1.0
                                 << QVariantList{Overlay::warm.last(), 46.0, 4.6, 1.3, 0.28,
                                                 QPointF(920, 846), QPointF(950, 548), QPointF(950, 296),
                                                 QPointF(980, 80)};
    }

    void lowestAndHighestDrawsGiveRangeEndsAndTracksFollowTheGroupTiming()
    {
        QFETCH(double, draw);
        QFETCH(QVariantList, flight);
        SequenceRandom random({draw});
        const EmojiFlight f = EmojiFlight::random(screen, Overlay::warm, random);
        const QVariantList drawn{f.glyph, f.size, f.duration, f.delay, f.tilt,
                                 f.start, f.control1, f.control2, f.end};
        QCOMPARE(drawn, flight);
        // Its tracks follow the group's timing exactly.
        const double degrees = qRadiansToDegrees(f.tilt);
        QCOMPARE(f.scale.size(), size_t(1));
        QCOMPARE(f.scale.front().easing.spline(), EmojiFlight::groupEasing.spline());
        for (int i = 0; i <= 100; ++i) {
            const double seconds = f.duration * i / 100.0;
            const double progress = EmojiFlight::groupEasing.progressAt(i / 100.0);
            const auto at = [&](const KeyframeSteps &track) { return stepsValueAt(track, seconds); };
            QVERIFY(qAbs(at(f.opacity) - linearKeyframes({0, 1, 1, 0}, {0, 0.1, 0.8, 1}, progress)) < 1e-6);
            QVERIFY(qAbs(at(f.scale) - (0.6 + 0.4 * progress)) < 1e-6);
            // Anticlockwise first: negative degrees on a y-down screen.
            const double turn = linearKeyframes({0, -degrees, degrees, 0}, {0, 0.35, 0.65, 1}, progress);
            QVERIFY(qAbs(at(f.rotation) - turn) < 1e-6);
        }
    }

    // Nothing flies, and nothing is drawn, when calm or when no emoji are asked for.
    void latestIsTheLastLandingAndNothingFliesWhenCalmOrUnasked()
    {
        SequenceRandom still({0.5});
        QVERIFY(EffectPlan::make(screen, Qt::red, Overlay::warm, 40, true, still).flights.empty());
        QVERIFY(EffectPlan::make(screen, Qt::red, Overlay::warm, 0, false, still).flights.empty());
        QVERIFY(EffectPlan::make(screen, Qt::red, Overlay::warm, -3, false, still).flights.empty());
        QVERIFY(EffectPlan::make(screen, Qt::red, {}, 40, false, still).flights.empty());
        QCOMPARE(still.drawn(), 0);
        QVERIFY(EffectPlan::make(screen, Qt::red, Overlay::warm, 40, true, still).glow.calm);

        SequenceRandom random({0.91, 0.13, 0.62, 0.47, 0.05, 0.78, 0.33, 0.99, 0.21, 0.58, 0.7});
        const EffectPlan plan = EffectPlan::make({1280, 720}, Qt::blue, Overlay::stars, 40, false, random);
        QCOMPARE(plan.flights.size(), size_t(40));
        double latest = 0;
        QSet<bool> swaysLeft;
        for (const EmojiFlight &f : plan.flights) {
            latest = std::max(latest, f.delay + f.duration);
            swaysLeft << (f.control1.x() < f.start.x());
            QVERIFY(Overlay::stars.contains(f.glyph));
        }
        QCOMPARE(swaysLeft.size(), 2);
        QCOMPARE(plan.latest(), latest);
        QCOMPARE(plan.length(), std::max(2.6, latest));
    }

    void emojiListsHoldSingleGraphemes()
    {
        QStringList withSelector;
        for (const QString &emoji : Overlay::warm + Overlay::stars) {
            QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, emoji);
            QCOMPARE(graphemes.toNextBoundary(), emoji.size());
            if (emoji.endsWith(QChar(0xFE0F)))
                withSelector << emoji;
        }
        QCOMPARE(withSelector, QStringList({u"\u2764\uFE0F"_qs, u"\u263A\uFE0F"_qs, u"\u2600\uFE0F"_qs,
                                            u"\u2B50\uFE0F"_qs, u"\u2615\uFE0F"_qs, u"\u2B50\uFE0F"_qs}));
    }

    // Without a compositor a window keeps only the visible part: what is fainter would come out dark.
    void lightIsStrongestAtTheEdgeStripsTileTheBandAndTheVisiblePartHoldsTheStrongLight()
    {
        const QSize screen(400, 300);
        const GlowImage glow(screen, 1.0, QColor(255, 0, 0));
        const QImage light = lightOf(glow, screen, 1);
        const auto alphaAt = [&](double x, double y) { return lightAt(light, {x, y}).alpha(); };
        const int edge = alphaAt(200.5, 0.5), inset = alphaAt(200.5, GlowPlan::inset);
        const int deeper = alphaAt(200.5, 30.5);
        QVERIFY2(edge > 180 && edge <= 230, qPrintable(QString::number(edge)));
        QVERIFY2(qAbs(inset - 0.45 * 255) <= 6, qPrintable(QString::number(inset)));
        QVERIFY(deeper < inset && deeper > 0);
        // Corners take light from both directions.
        QVERIFY(alphaAt(0.5, 0.5) > edge);
        for (QPointF at : {QPointF(0.5, 150.5), QPointF(399.5, 150.5), QPointF(200.5, 299.5)})
            QCOMPARE(alphaAt(at.x(), at.y()), edge);
        QCOMPARE(lightAt(light, {200.5, 0.5}).rgb(), qRgb(255, 0, 0));

        const double band = GlowPlan::bandWidth();
        QRegion covered;
        for (Edge side : edges) {
            const QRect at = glow.placement(side).toRect();
            QVERIFY(!covered.intersects(at));
            covered += at;
        }
        const QRect whole(QPoint(), screen);
        QCOMPARE(covered, QRegion(whole) - whole.adjusted(int(band), int(band), -int(band), -int(band)));
        // What lies just inside the band would round to nothing.
        QCOMPARE(alphaAt(200.5, band - 0.5), 0);

        const QRegion visible = glow.visible();
        const int least = int(std::lround(255 * GlowPlan::visibleAlpha));
        for (int y = 0; y < screen.height(); ++y)
            for (int x = 0; x < screen.width(); ++x) {
                const int alpha = qAlpha(light.pixel(x, y));
                if (qAbs(alpha - least) > 1)
                    QVERIFY2(visible.contains(QPoint(x, y)) == (alpha > least),
                             qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
            }
        QCOMPARE(GlowImage(screen, 2.0, Qt::red).visible().boundingRect(), whole);
    }

    // At double scale twice the pixels with the same light, served to the scene by name.
    void doubleScaleDrawsTwiceThePixelsWithTheSameLightAndIsServedByName()
    {
        const QColor colour(0x12, 0x34, 0x56);
        const GlowImage one(QSize(300, 200), 1.0, colour), two(QSize(300, 200), 2.0, colour);
        QCOMPARE(two.strip(Edge::Top).size(), one.strip(Edge::Top).size() * 2);
        QCOMPARE(two.strip(Edge::Top).devicePixelRatio(), 2.0);
        QCOMPARE(two.placement(Edge::Left), one.placement(Edge::Left));
        const QImage lightOne = lightOf(one, QSize(300, 200), 1), lightTwo = lightOf(two, QSize(300, 200), 2);
        for (QPointF at : {QPointF(150, 0.75), QPointF(2.25, 100), QPointF(150, 14.25)})
            QVERIFY(qAbs(lightAt(lightTwo, at).alpha() - lightAt(lightOne, at).alpha()) <= 12);

        GlowImageProvider provider;
        const QString source = GlowImageProvider::source(colour, QSize(300, 200), 2, Edge::Right);
        const QString prefix = QStringLiteral("image://tenderglow/");
        QVERIFY(source.startsWith(prefix));
        QSize size;
        const QImage image = provider.requestImage(source.mid(prefix.size()), &size, {});
        QCOMPARE(image, two.strip(Edge::Right));
        QCOMPARE(size, image.size());
        for (const char *bad : {"", "ff123456/800x600@2/middle", "ff123456/0x600@1/top", "zz/800x600@1/top",
                                "ff123456/99999x600@1/top", "ff123456/800x600@0/top"})
            QVERIFY(provider.requestImage(QString::fromLatin1(bad), &size, {}).isNull());
    }
};

TENDER_TEST_GUILESS_MAIN(EffectPlanTest)
#include "EffectPlanTest.moc"
