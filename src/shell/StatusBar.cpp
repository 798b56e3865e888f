#include "model/AppModel.h"
#include "platform/Clock.h"
#include "shell/HeartIcon.h"
#include "shell/Popover.h"
#include "shell/StatusBar.h"
#include "shell/Tray.h"


namespace tender {

StatusBar::StatusBar(AppModel &model, Tray &tray, Popover &popover, Clock &clock, QObject *parent)
    : QObject(parent), model_(model), tray_(tray), popover_(popover), clock_(clock)
{
    connect(&tray_, &Tray::activated, this, &StatusBar::toggle);
    updateIcon();
}

StatusBar::~StatusBar() = default;

void StatusBar::updateIcon()
{
    const bool paused = model_.isPaused();
    const QString name = paused ? QStringLiteral("Сердечко на паузе") : QStringLiteral("Сердечко");
    // Without a tint the icon takes the panel's colour where the tray tells it,
    // as a template image would; the desktop's own palette may be light on a
    // dark panel, so otherwise it takes a colour that shows on either.
    const QColor color = tint_.value_or(tray_.foreground().value_or(HeartIcon::heartColor));
    tray_.setIcon(HeartIcon::icon(paused, color), name);
}

void StatusBar::flashIcon(const QColor &color)
{
    tint_ = color;
    updateIcon();
    // Each flash ends only itself: a later flash of another colour outlives it.
    std::erase_if(flashes_, [](const std::unique_ptr<Timer> &timer) { return !timer->isActive(); });
    flashes_.push_back(clock_.singleShot(std::chrono::milliseconds(flashMs), [this, color] {
        if (tint_ == color) {
            tint_.reset();
            updateIcon();
        }
    }));
}

void StatusBar::show()
{
    if (!popover_.isShown()) {
        popover_.open(tray_.geometry());
        followIcon(tray_.geometry(), iconTries);
    }
    popover_.view().requestActivate();
}

// Right after the start the tray has not embedded the icon yet and tells no
// place, or a made-up one; the popover follows the icon once it moves.
void StatusBar::followIcon(const QRect &openedAt, int triesLeft)
{
    iconWait_ = clock_.singleShot(std::chrono::milliseconds(iconTryMs), [this, openedAt, triesLeft] {
        if (!popover_.isShown())
            return;
        const QRect icon = tray_.geometry();
        if (!icon.isEmpty() && icon != openedAt)
            popover_.place(icon);
        else if (triesLeft > 1)
            followIcon(openedAt, triesLeft - 1);
    });
}

void StatusBar::toggle()
{
    if (popover_.isShown())
        popover_.close();
    else if (!popover_.justClosed())
        show();
}

} // namespace tender
