#include "shell/SystemTray.h"

namespace tender {

SystemTray::SystemTray(QObject *parent) : Tray(parent)
{
    connect(&icon_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
            emit activated();
    });
}

void SystemTray::setIcon(const QIcon &icon, const QString &accessibleName)
{
    icon_.setIcon(icon);
    icon_.setToolTip(accessibleName);
    icon_.show();
}

} // namespace tender
