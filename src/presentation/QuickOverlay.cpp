#include "presentation/QuickOverlay.h"

#include "presentation/EffectPlan.h"
#include "presentation/GlowImageProvider.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace tender {

QuickOverlay::QuickOverlay(Clock &clock, RandomSource &random, QObject *parent)
    : QObject(parent)
    , clock_(clock)
    , random_(random)
{
    engine_.addImageProvider(QLatin1String(GlowImageProvider::name), new GlowImageProvider);
    rebuild();
    watchScreens();
    connect(&compositor_, &CompositorWatch::changed, this, &QuickOverlay::scheduleRebuild);
}

QuickOverlay::~QuickOverlay() = default;

void QuickOverlay::play(QColor color, QStringList emoji, int count, bool calm)
{
    hide_.reset();
    double total = GlowPlan::duration;
    for (const auto &window : windows_) {
        const QSizeF area = window->target()->geometry().size();
        // Emoji outside the lit band could not be seen on a window cut to it.
        const int flights = window->masked() ? 0 : count;
        const EffectPlan plan = EffectPlan::make(area, color, emoji, flights, calm, random_);
        window->present(plan);
        total = std::max(total, plan.length());
    }
    const auto effect = Milliseconds(std::llround(total * 1000.0));
    hide_ = clock_.singleShot(effect + hideAfterEffect, [this] { takeDown(); });
}

void QuickOverlay::rebuild()
{
    hide_.reset();
    for (const auto &window : windows_)
        window->hide();
    std::vector<std::unique_ptr<OverlayWindow>> fresh;
    for (QScreen *screen : QGuiApplication::screens())
        fresh.push_back(std::make_unique<OverlayWindow>(engine_, *screen, compositor_.composited()));
    windows_ = std::move(fresh);
}

void QuickOverlay::takeDown()
{
    for (const auto &window : windows_)
        window->dismiss();
}

void QuickOverlay::watchScreens()
{
    for (QScreen *screen : QGuiApplication::screens())
        watch(screen);
    connect(qGuiApp, &QGuiApplication::screenAdded, this, [this](QScreen *screen) {
        watch(screen);
        scheduleRebuild();
    });
    // At once: a window must not outlive its screen until a heart reads the freed screen.
    connect(qGuiApp, &QGuiApplication::screenRemoved, this, &QuickOverlay::rebuild);
    connect(qGuiApp, &QGuiApplication::primaryScreenChanged, this, &QuickOverlay::scheduleRebuild);
}

void QuickOverlay::watch(QScreen *screen)
{
    connect(screen, &QScreen::geometryChanged, this, &QuickOverlay::scheduleRebuild);
    connect(screen, &QScreen::physicalDotsPerInchChanged, this, &QuickOverlay::scheduleRebuild);
    connect(screen, &QScreen::logicalDotsPerInchChanged, this, &QuickOverlay::scheduleRebuild);
}

// Screen changes come in bursts; one rebuild on the next turn of the loop covers them.
void QuickOverlay::scheduleRebuild()
{
    if (rebuildQueued_)
        return;
    rebuildQueued_ = true;
    QMetaObject::invokeMethod(this, [this] {
        rebuildQueued_ = false;
        rebuild();
    }, Qt::QueuedConnection);
}

} // namespace tender
