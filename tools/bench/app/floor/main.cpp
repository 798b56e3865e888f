// The floor for tools/bench/app: the least a Qt Quick tray app with one window
// costs on this machine. A tray icon and one Qt Quick window, loaded but hidden
// until the icon is clicked, as the popover is.

#include <QApplication>
#include <QPainter>
#include <QQmlApplicationEngine>
#include <QQuickWindow>
#include <QSystemTrayIcon>

namespace {

QIcon heart()
{
    QPixmap pixmap(22, 22);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(0xE8, 0x5D, 0x75));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QRectF(2, 2, 18, 18));
    return QIcon(pixmap);
}

const char scene[] = R"(
import QtQuick
Window {
    width: 360
    height: 480
    visible: false
    Text { anchors.centerIn: parent; text: "Tender" }
}
)";

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QQmlApplicationEngine engine;
    engine.loadData(scene);
    auto *window = qobject_cast<QQuickWindow *>(engine.rootObjects().value(0));
    if (!window)
        return 1;
    QSystemTrayIcon tray(heart());
    QObject::connect(&tray, &QSystemTrayIcon::activated, window, [window] { window->setVisible(!window->isVisible()); });
    tray.show();
    return app.exec();
}
