#include "TestMain.h"
#include "OverlayScene.h"
#include "platform/SystemClock.h"
#include "presentation/GlowPlan.h"
#include "presentation/QuickOverlay.h"
#include "presentation/SystemRandom.h"

#include <QDir>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QTest>

using namespace tender;

namespace {

// Pixels that carry colour (emoji are colourful, the glow is one hue). The
// offscreen platform grabs without alpha, so what is transparent comes out black.
int colourfulPixels(const QImage &image, const QRect &area)
{
    QSet<QRgb> hues;
    int lit = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (qGray(pixel.rgb()) > 40) {
                ++lit;
                hues.insert(qRgb(pixel.red() & 0xC0, pixel.green() & 0xC0, pixel.blue() & 0xC0));
            }
        }
    return hues.size() >= 4 ? lit : 0;
}

QString shotPath(const QString &name)
{
    const QString dir = qEnvironmentVariable("TENDER_SHOT_DIR", QDir::currentPath());
    return QDir(dir).filePath(name);
}

// The screens side by side as the user sees them, each window at its place.
QImage desktop(const QuickOverlay &overlay, const std::vector<QImage> &shots)
{
    QRect all;
    for (QScreen *screen : QGuiApplication::screens())
        all |= screen->geometry();
    QImage image(all.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(0x2b, 0x30, 0x3a));
    QPainter painter(&image);
    for (size_t i = 0; i < shots.size(); ++i)
        painter.drawImage(QRectF(overlay.windows()[i]->geometry()), shots[i]);
    return image;
}

// Every window's frame when each shows the glow on every edge in the signal's
// colour and emoji in the middle, away from the glow; nothing otherwise.
std::vector<QImage> midEffect(const QuickOverlay &overlay)
{
    std::vector<QImage> shots;
    for (const auto &window : overlay.windows()) {
        if (!window->isExposed() || test::emoji(*window) != 40)
            return {};
        const QImage shot = window->grabWindow().convertToFormat(QImage::Format_ARGB32);
        const qreal scale = shot.devicePixelRatio();
        const QSize size = window->size() * scale;
        if (shot.size() != size)
            return {};
        for (QPoint edge : {QPoint(size.width() / 2, 1), QPoint(1, size.height() / 2),
                            QPoint(size.width() - 2, size.height() / 2), QPoint(size.width() / 3, size.height() - 2)}) {
            const QColor light = shot.pixelColor(edge);
            if (light.red() <= 60 || light.red() <= light.blue() + 30 || light.red() <= light.green() + 30)
                return {};
        }
        const int band = int(GlowPlan::bandWidth() * scale);
        if (colourfulPixels(shot, QRect(band, band, size.width() - 2 * band, size.height() - 2 * band)) <= 2000)
            return {};
        shots.push_back(shot);
    }
    return shots;
}

} // namespace

class OverlayRunTest : public QObject {
    Q_OBJECT

private slots:
    void effectShowsOnEveryScreenThenLeavesNothing()
    {
        SystemClock clock;
        SystemRandom random(2026);
        QuickOverlay overlay(clock, random);
        QCOMPARE(overlay.windows().size(), size_t(2));
        overlay.play(QColor(0xE8, 0x5D, 0x75), Overlay::warm, 40, false);
        // The glow blinks and the emoji fly for seconds; a loaded machine draws
        // late, so look at frames until one shows both on every screen.
        std::vector<QImage> shots;
        while (shots.empty() && overlay.windows()[0]->isVisible()) {
            QTest::qWait(100);
            shots = midEffect(overlay);
        }
        QVERIFY2(!shots.empty(), "no frame showed the glow on every edge and the emoji in the middle");
        QVERIFY(desktop(overlay, shots).save(shotPath(QStringLiteral("overlay-mid-effect.png"))));

        // The longest effect ends 5.9 s after the start and the windows go 0.3 s later.
        QTRY_VERIFY_WITH_TIMEOUT(!overlay.windows()[0]->isVisible() && !overlay.windows()[1]->isVisible(), 60'000);
        shots.clear();
        for (const auto &window : overlay.windows()) {
            QCOMPARE(test::glows(*window) + test::emoji(*window), 0);
            const QImage after = window->grabWindow().convertToFormat(QImage::Format_ARGB32);
            QCOMPARE(colourfulPixels(after, after.rect()), 0);
            for (int y = 0; y < after.height(); y += 7)
                for (int x = 0; x < after.width(); x += 7)
                    QCOMPARE(qGray(after.pixel(x, y)), 0);
            shots.push_back(after);
        }
        QVERIFY(desktop(overlay, shots).save(shotPath(QStringLiteral("overlay-after-hide.png"))));
    }
};

TENDER_TEST_MAIN(OverlayRunTest)
#include "OverlayRunTest.moc"
