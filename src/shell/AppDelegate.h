#pragma once

#include <QObject>
#include <QUrl>

#include <functional>
#include <memory>

class QQmlEngine;

namespace tender {

class AppModel;
class Clock;
class Popover;
class StatusBar;
class Tray;
class WakeMonitor;

// Creates the model, connects it to the tray icon and the popover, and starts it.
class AppDelegate : public QObject {
    Q_OBJECT

public:
    struct Parts {
        std::function<std::unique_ptr<AppModel>()> makeModel;
        Clock &clock;
        Tray &tray;
        WakeMonitor &wake;
        QUrl rootView;
        // Makes the model reachable from the views before they load.
        std::function<void(AppModel &)> exposeToViews = [](AppModel &) {};
    };

    explicit AppDelegate(Parts parts, QObject *parent = nullptr);
    ~AppDelegate() override;

    void willFinishLaunching();
    void didFinishLaunching();
    void open(const QStringList &urls);

    AppModel *model() const { return model_.get(); }
    StatusBar *status() const { return status_.get(); }
    Popover *popover() const { return popover_.get(); }

private:
    Parts parts_;
    std::unique_ptr<AppModel> model_;
    std::unique_ptr<QQmlEngine> engine_;
    std::unique_ptr<Popover> popover_;
    std::unique_ptr<StatusBar> status_;
};

} // namespace tender
