#include "model/AppModel.h"
#include "shell/AppDelegate.h"
#include "shell/PlatformServices.h"
#include "shell/StatusBar.h"
#include "shell/SingleInstance.h"
#include "shell/SystemTray.h"
#include "views/Views.h"

#include <QApplication>
#include <QTextStream>

using namespace tender;

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
    if (instance.handOff(urls))
        return 0;
    instance.listen();

    PlatformServices platform;
    SystemTray tray;
    AppDelegate delegate({[&platform] { return std::make_unique<AppModel>(platform.appServices()); },
                          platform.clock(), tray, platform.wake(), QUrl(QStringLiteral("qrc:/qt/qml/Tender/RootView.qml")),
                          [&platform](AppModel &model) { views::setUp(model, platform.clock(), platform.clipboard()); }});
    instance.onUrls = [&delegate](const QStringList &handed) { delegate.open(handed); };

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
