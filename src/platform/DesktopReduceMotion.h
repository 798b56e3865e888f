#pragma once

#include "platform/ReduceMotion.h"

#include <QDBusConnection>
#include <QDBusVariant>
#include <QObject>

#include <optional>

namespace tender {

// The desktop portal's enable-animations setting, read once and then watched;
// KDE's AnimationDurationFactor=0 in kdeglobals, read on each query. Either one
// asks for reduced motion; with neither, motion is not reduced.
class DesktopReduceMotion final : public QObject, public ReduceMotion {
    Q_OBJECT
public:
    explicit DesktopReduceMotion(QDBusConnection bus = QDBusConnection::sessionBus());

    bool enabled() const override;

private slots:
    void settingChanged(const QString &group, const QString &key, const QDBusVariant &value);

private:
    void readPortal();
    void setPortalValue(std::optional<bool> reduce);
    static bool kdeAnimationsOff();

    QDBusConnection bus_;
    std::optional<bool> portal_;
};

} // namespace tender
