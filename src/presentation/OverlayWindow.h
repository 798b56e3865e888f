#pragma once

#include <QQuickView>

namespace tender {

struct EffectPlan;

// One screen's overlay: frameless, transparent, click-through, above every
// other window including full-screen ones, never focused, not in the taskbar.
class OverlayWindow final : public QQuickView {
    Q_OBJECT
public:
    static constexpr Qt::WindowFlags windowFlags = Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint
        | Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus | Qt::X11BypassWindowManagerHint
        | Qt::NoDropShadowWindowHint;

    OverlayWindow(QQmlEngine &engine, QScreen &screen, bool canBeTransparent);

    QScreen *target() const { return target_; }
    // Cut to the visible glow because the desktop cannot show it transparent.
    bool masked() const { return masked_; }
    // Shows the window with this effect's glow (replacing any earlier glow) and emoji.
    void present(const EffectPlan &plan);
    // Hides the window and drops everything it shows.
    void dismiss();

private:
    void call(const char *function, const QVariant &argument = {});

    QScreen *target_;
    bool masked_;
};

} // namespace tender
