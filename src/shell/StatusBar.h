#pragma once

#include <QColor>
#include <QObject>
#include <QRect>

#include <memory>
#include <optional>

namespace tender {

class AppModel;
class Clock;
class Popover;
class Timer;
class Tray;

// Owns the tray icon and the popover: draws the icon in its normal, paused and
// flashing forms and opens and closes the popover.
class StatusBar : public QObject {
    Q_OBJECT

public:
    static constexpr int flashMs = 1400;
    static constexpr int iconTryMs = 250;
    static constexpr int iconTries = 12;

    StatusBar(AppModel &model, Tray &tray, Popover &popover, Clock &clock, QObject *parent = nullptr);
    ~StatusBar() override;

    void updateIcon();
    void flashIcon(const QColor &color);
    void show();
    void toggle();

    const std::optional<QColor> &tint() const { return tint_; }

private:
    void followIcon(const QRect &openedAt, int triesLeft);

    AppModel &model_;
    Tray &tray_;
    Popover &popover_;
    Clock &clock_;
    std::optional<QColor> tint_;
    std::vector<std::unique_ptr<Timer>> flashes_;
    std::unique_ptr<Timer> iconWait_;
};

} // namespace tender
