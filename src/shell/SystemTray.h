#pragma once

#include "shell/Tray.h"

#include <QSystemTrayIcon>

namespace tender {

// Qt's system tray: StatusNotifierItem where the desktop hosts one, XEmbed otherwise.
class SystemTray final : public Tray {
    Q_OBJECT

public:
    explicit SystemTray(QObject *parent = nullptr);

    static bool available() { return QSystemTrayIcon::isSystemTrayAvailable(); }
    void setIcon(const QIcon &icon, const QString &accessibleName) override;
    QRect geometry() const override { return icon_.geometry(); }
    // _NET_SYSTEM_TRAY_COLORS of an XEmbed tray host on X11.
    std::optional<QColor> foreground() const override;

private:
    QSystemTrayIcon icon_;
};

} // namespace tender
