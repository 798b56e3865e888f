#pragma once

#include <QColor>
#include <QIcon>
#include <QObject>
#include <QRect>

#include <optional>

namespace tender {

// The icon in the desktop's tray. StatusBar draws it; the desktop shows it.
class Tray : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    virtual void setIcon(const QIcon &icon, const QString &accessibleName) = 0;
    // The icon's place on the screen; empty where the tray does not tell.
    virtual QRect geometry() const = 0;
    // The colour the panel asks its icons to take, where the tray host tells.
    virtual std::optional<QColor> foreground() const = 0;

signals:
    void activated();
};

} // namespace tender
