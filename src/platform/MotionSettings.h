#pragma once

#include <QString>
#include <QVariant>

#include <optional>

namespace tender::MotionSettings {

// Whether motion should be reduced, from the desktop portal's value of
// org.gnome.desktop.interface enable-animations (possibly wrapped in D-Bus
// variants); absent when the value is not a boolean.
std::optional<bool> reduceFromPortalValue(const QVariant &value);

// AnimationDurationFactor of the [KDE] group of a kdeglobals file, if set.
std::optional<double> kdeAnimationDurationFactor(const QString &kdeglobals);

} // namespace tender::MotionSettings
