#include "model/AppModel.h"
#include "platform/WakeMonitor.h"
#include "service/Stream.h"
#include "shell/AppDelegate.h"
#include "shell/Popover.h"
#include "shell/StatusBar.h"

#include <QCoreApplication>
#include <QPointer>
#include <QQmlEngine>

namespace tender {

AppDelegate::AppDelegate(Parts parts, QObject *parent) : QObject(parent), parts_(std::move(parts)) {}

AppDelegate::~AppDelegate()
{
    parts_.wake.onWake = [] {};
}

void AppDelegate::willFinishLaunching()
{
    model_ = parts_.makeModel();
}

void AppDelegate::didFinishLaunching()
{
    parts_.exposeToViews(*model_);
    engine_ = std::make_unique<QQmlEngine>();
    // Qt.quit() in a view only asks the engine; the application decides.
    connect(engine_.get(), &QQmlEngine::quit, QCoreApplication::instance(), &QCoreApplication::quit,
            Qt::QueuedConnection);
    popover_ = std::make_unique<Popover>(engine_.get(), parts_.rootView, parts_.clock);
    status_ = std::make_unique<StatusBar>(*model_, parts_.tray, *popover_, parts_.clock);

    QPointer<AppDelegate> self(this);
    model_->onIconChange = [self] {
        if (self)
            self->status_->updateIcon();
    };
    model_->onReceive = [self](QColor color) {
        if (self)
            self->status_->flashIcon(color);
    };
    model_->onShowMenu = [self] {
        if (self)
            self->status_->show();
    };
    parts_.wake.onWake = [self] {
        if (self)
            self->model_->stream().restart();
    };

    model_->start();
    if (!model_->signedIn() || model_->route() != Route::main())
        status_->show();
}

void AppDelegate::open(const QStringList &urls)
{
    for (const QString &url : urls)
        model_->handle(url);
}

} // namespace tender

