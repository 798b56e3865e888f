#pragma once

#include "presentation/CompositorWatch.h"
#include "presentation/Overlay.h"
#include "presentation/OverlayWindow.h"
#include "platform/Clock.h"

#include <QObject>
#include <QQmlEngine>

#include <memory>
#include <vector>

class QScreen;

namespace tender {

class RandomSource;

// The overlay drawn with Qt Quick: one window per screen, in the order of the
// screen list, rebuilt whenever the screens change or a compositor comes or goes.
class QuickOverlay final : public QObject, public Overlay {
    Q_OBJECT
public:
    static constexpr Milliseconds hideAfterEffect{300};

    QuickOverlay(Clock &clock, RandomSource &random, QObject *parent = nullptr);
    ~QuickOverlay() override;

    void play(QColor color, QStringList emoji, int count, bool calm) override;
    void rebuild() override;

    const std::vector<std::unique_ptr<OverlayWindow>> &windows() const { return windows_; }

private:
    void watchScreens();
    void watch(QScreen *screen);
    void scheduleRebuild();
    void takeDown();

    Clock &clock_;
    RandomSource &random_;
    CompositorWatch compositor_;
    QQmlEngine engine_;
    std::vector<std::unique_ptr<OverlayWindow>> windows_;
    std::unique_ptr<Timer> hide_;
    bool rebuildQueued_ = false;
};

} // namespace tender
