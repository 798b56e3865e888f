#include "TestMain.h"
#include "SequenceRandom.h"
#include "presentation/EffectPlan.h"
#include "presentation/Overlay.h"

#include <QTest>
#include <QTextBoundaryFinder>

#include <cmath>
#include <numbers>

using namespace tender;
using tender::test::SequenceRandom;

namespace {

constexpr QSizeF screen(1000, 800);
constexpr int drawsPerEmoji = 10;

// Reference timing curve by brute force over the Bézier parameter, independent of
// the bisection in the code under test.
double referenceProgress(TimingCurve c, double time)
{
    double best = 0, bestGap = 2;
    for (int i = 0; i <= 20000; ++i) {
        const double p = i / 20000.0, q = 1 - p;
        const double x = 3 * q * q * p * c.x1() + 3 * q * p * p * c.x2() + p * p * p;
        if (std::abs(x - time) < bestGap) {
            bestGap = std::abs(x - time);
            best = 3 * q * q * p * c.y1() + 3 * q * p * p * c.y2() + p * p * p;
        }
    }
    return best;
}

// What a key-frame track shows at `seconds` when each step runs its own easing.
double stepsValueAt(const KeyframeSteps &steps, double seconds)
{
    for (const KeyframeStep &step : steps)
        if (seconds < step.start + step.duration)
            return step.from + (step.to - step.from) * step.easing.progressAt((seconds - step.start) / step.duration);
    return steps.back().to;
}

// Linear key frames read at a progress of the whole group.
double linearKeyframes(const std::vector<double> &values, const std::vector<double> &times, double progress)
{
    for (size_t i = 0; i + 1 < values.size(); ++i)
        if (progress <= times[i + 1])
            return values[i] + (values[i + 1] - values[i]) * (progress - times[i]) / (times[i + 1] - times[i]);
    return values.back();
}

void compareSteps(const KeyframeSteps &steps, const std::vector<double> &from, const std::vector<double> &starts,
                  double duration)
{
    QCOMPARE(steps.size(), from.size());
    for (size_t i = 0; i < steps.size(); ++i) {
        QCOMPARE(steps[i].from, from[i]);
        if (i + 1 < steps.size())
            QCOMPARE(steps[i].to, from[i + 1]);
        QVERIFY(qAbs(steps[i].start - starts[i] * duration) < 1e-9);
        const double next = i + 1 < starts.size() ? starts[i + 1] : 1.0;
        QVERIFY(qAbs(steps[i].duration - (next - starts[i]) * duration) < 1e-9);
    }
}

// What one emoji's flight is when every draw is the same.
struct Ends {
    double draw, size, duration, delay, tilt;
    QString glyph;
    double x, climb, sway, drift;
};

} // namespace

Q_DECLARE_METATYPE(Ends)

class EffectPlanTest : public QObject {
    Q_OBJECT

private slots:
    void timingCurvesMatchTheirDefinition()
    {
        for (TimingCurve curve : {EmojiFlight::groupEasing, TimingCurve::easeInEaseOut()}) {
            for (double t : {0.0, 0.05, 0.2, 0.35, 0.5, 0.8, 0.97, 1.0}) {
                QVERIFY2(qAbs(curve.progressAt(t) - referenceProgress(curve, t)) < 2e-4, qPrintable(QString::number(t)));
                QVERIFY(qAbs(curve.timeOf(curve.progressAt(t)) - t) < 1e-9);
            }
        }
        QVERIFY(qAbs(TimingCurve::easeInEaseOut().progressAt(0.5) - 0.5) < 1e-9);
    }

    void glowKeyframesBlinkThreeTimesOrFadeWhenCalm()
    {
        const GlowPlan blink = GlowPlan::make(Qt::red, false);
        compareSteps(blink.opacity, {0, 1, 0.25, 1, 0.25, 1}, {0, 0.12, 0.28, 0.45, 0.61, 0.78}, 2.6);
        QCOMPARE(blink.opacity.back().to, 0.0);
        const GlowPlan calm = GlowPlan::make(Qt::red, true);
        compareSteps(calm.opacity, {0, 0.7, 0.7}, {0, 0.3, 0.7}, 2.6);
        QCOMPARE(calm.opacity.back().to, 0.0);
        for (const KeyframeStep &step : blink.opacity)
            QCOMPARE(step.easing.spline(), TimingCurve::easeInEaseOut().spline());
        QCOMPARE(blink.color, QColor(Qt::red));
    }

    void theLowestAndHighestDrawsGiveTheEndsOfEveryRange_data()
    {
        QTest::addColumn<Ends>("ends");
        // x 4 % of 1000 in, rise 45 % of 800, drift -60, sway 14 turned left by the coin; and the other end.
        QTest::newRow("lowest") << Ends{0.0, 24, 3.0, 0.0, 0.1, Overlay::warm.first(), 40, 360, -14, -60};
        QTest::newRow("highest") << Ends{1.0, 46, 4.6, 1.3, 0.28, Overlay::warm.last(), 920, 720, 30, 60};
    }

    void theLowestAndHighestDrawsGiveTheEndsOfEveryRange()
    {
        QFETCH(Ends, ends);
        SequenceRandom random({ends.draw});
        const EmojiFlight f = EmojiFlight::random(screen, Overlay::warm, random);
        QCOMPARE(random.drawn(), drawsPerEmoji);
        QCOMPARE(f.size, ends.size);
        QCOMPARE(f.duration, ends.duration);
        QCOMPARE(f.delay, ends.delay);
        QCOMPARE(f.tilt, ends.tilt);
        QCOMPARE(f.glyph, ends.glyph);
        QCOMPARE(f.start, QPointF(ends.x, 800 + ends.size));
        QCOMPARE(f.control1, QPointF(ends.x + ends.sway, 800 - 0.35 * ends.climb));
        QCOMPARE(f.control2, QPointF(ends.x + ends.drift - ends.sway, 800 - 0.7 * ends.climb));
        QCOMPARE(f.end, QPointF(ends.x + ends.drift, 800 - ends.climb));
        QCOMPARE(f.box(), 1.4 * ends.size);
        QCOMPARE(f.finish(), ends.delay + ends.duration);
    }

    void emojiKeyframesFollowTheGroupTimingExactly()
    {
        SequenceRandom random({0.3, 0.7, 0.55, 0.1});
        const EmojiFlight f = EmojiFlight::random(screen, Overlay::warm, random);
        const double degrees = f.tilt * 180 / std::numbers::pi;
        QCOMPARE(f.scale.size(), size_t(1));
        QCOMPARE(f.scale.front().easing.spline(), EmojiFlight::groupEasing.spline());
        for (int i = 0; i <= 100; ++i) {
            const double seconds = f.duration * i / 100.0;
            const double progress = EmojiFlight::groupEasing.progressAt(i / 100.0);
            QVERIFY(qAbs(stepsValueAt(f.opacity, seconds) - linearKeyframes({0, 1, 1, 0}, {0, 0.1, 0.8, 1}, progress)) < 1e-6);
            QVERIFY(qAbs(stepsValueAt(f.scale, seconds) - (0.6 + 0.4 * progress)) < 1e-6);
            // Anticlockwise first: negative degrees on a y-down screen.
            QVERIFY(qAbs(stepsValueAt(f.rotation, seconds)
                         - linearKeyframes({0, -degrees, degrees, 0}, {0, 0.35, 0.65, 1}, progress)) < 1e-6);
        }
    }

    void latestIsTheLastLandingAndShapesStayInRange()
    {
        SequenceRandom random({0.91, 0.13, 0.62, 0.47, 0.05, 0.78, 0.33, 0.99, 0.21, 0.58, 0.7});
        const QSizeF area(1280, 720);
        const EffectPlan plan = EffectPlan::make(area, Qt::blue, Overlay::stars, 40, false, random);
        QCOMPARE(plan.flights.size(), size_t(40));
        double latest = 0;
        bool leftSway = false, rightSway = false;
        for (const EmojiFlight &f : plan.flights) {
            latest = std::max(latest, f.delay + f.duration);
            QVERIFY(f.size >= 24 && f.size <= 46);
            QVERIFY(f.duration >= 3.0 && f.duration <= 4.6);
            QVERIFY(f.delay >= 0 && f.delay <= 1.3);
            QVERIFY(f.start.x() >= 0.04 * 1280 && f.start.x() <= 0.92 * 1280);
            const double climb = area.height() - f.end.y();
            QVERIFY(climb >= 0.45 * 720 - 1e-9 && climb <= 0.9 * 720 + 1e-9);
            QVERIFY(qAbs(f.end.x() - f.start.x()) <= 60);
            const double sway = f.control1.x() - f.start.x();
            QVERIFY(qAbs(sway) >= 14 && qAbs(sway) <= 30);
            (sway < 0 ? leftSway : rightSway) = true;
            QVERIFY(f.tilt >= 0.1 && f.tilt <= 0.28);
            QVERIFY(Overlay::stars.contains(f.glyph));
        }
        QVERIFY(leftSway && rightSway);
        QCOMPARE(plan.latest(), latest);
        QCOMPARE(plan.length(), std::max(2.6, latest));
    }

    void glowOnlyWhenCalmOrNothingToFly()
    {
        SequenceRandom random({0.5});
        QVERIFY(EffectPlan::make(screen, Qt::red, Overlay::warm, 40, true, random).flights.empty());
        QVERIFY(EffectPlan::make(screen, Qt::red, Overlay::warm, 0, false, random).flights.empty());
        QVERIFY(EffectPlan::make(screen, Qt::red, Overlay::warm, -3, false, random).flights.empty());
        QVERIFY(EffectPlan::make(screen, Qt::red, {}, 40, false, random).flights.empty());
        QCOMPARE(random.drawn(), 0);
        const EffectPlan calm = EffectPlan::make(screen, Qt::red, Overlay::warm, 40, true, random);
        QCOMPARE(calm.latest(), 0.0);
        QCOMPARE(calm.length(), 2.6);
        QVERIFY(calm.glow.calm);
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
};

TENDER_TEST_GUILESS_MAIN(EffectPlanTest)
#include "EffectPlanTest.moc"
