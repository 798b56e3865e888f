#include "model/AppModel.h"
#include "shell/AppDelegate.h"
#include "shell/PlatformServices.h"
#include "shell/StatusBar.h"
#include "shell/SingleInstance.h"
#include "shell/SystemTray.h"
#include "views/Views.h"

#include <QApplication>
#include <QTextStream>

#include <optional>

using namespace tender;

namespace {

// Hands the URLs to the running instance, or makes this process the running one
// (nullopt). Two launches at the same moment both find nobody; the one that
// loses the name hands over to the winner.
std::optional<int> handToRunningInstance(SingleInstance &instance, const QStringList &urls)
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        switch (instance.handOff(urls)) {
        case SingleInstance::HandOff::taken:
            return 0;
        case SingleInstance::HandOff::unanswered:
            QTextStream(stderr) << "Tender уже запущен, но не отвечает. Закрой его и запусти снова." << Qt::endl;
            return 1;
        case SingleInstance::HandOff::noInstance:
            if (instance.listen())
                return std::nullopt;
        }
    }
    QTextStream(stderr) << "Tender не смог запуститься: не получилось занять место единственной копии." << Qt::endl;
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    // The overlay's animations run on the render thread, not the main one, even
    // with the software renderer.
    if (qEnvironmentVariableIsEmpty("QSG_RENDER_LOOP"))
        qputenv("QSG_RENDER_LOOP", "threaded");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tender"));
    QApplication::setDesktopFileName(QStringLiteral("tender"));
    QApplication::setQuitOnLastWindowClosed(false);

    const QStringList urls = app.arguments().mid(1).filter(QStringLiteral("tender:"));
    SingleInstance instance(SingleInstance::defaultName());
    if (const std::optional<int> exitCode = handToRunningInstance(instance, urls))
        return *exitCode;

    PlatformServices platform;
    SystemTray tray;
    AppDelegate delegate({[&platform] { return std::make_unique<AppModel>(platform.appServices()); },
                          platform.clock(), tray, platform.wake(), QUrl(QStringLiteral("qrc:/qt/qml/Tender/RootView.qml")),
                          [&platform](AppModel &model) { views::setUp(model, platform.clock(), platform.clipboard()); }});
    // Started again without a link (from the menu, say): show the popover, which a
    // desktop without a tray offers no other way to reopen.
    instance.onLaunch = [&delegate](const QStringList &handed) {
        if (handed.isEmpty())
            delegate.status()->show();
        else
            delegate.open(handed);
    };

    delegate.willFinishLaunching();
    delegate.didFinishLaunching();
    if (!SystemTray::available()) {
        QTextStream(stderr) << "Tender: в этом окружении нет области уведомлений, окно Tender открыто без значка."
                            << Qt::endl;
        delegate.status()->show();
    }
    delegate.open(urls);
    return app.exec();
}
