#pragma once

#include "shell/Tray.h"

namespace tender::test {

// A tray that keeps what it was asked to show; tests click it with activated().
class FakeTray final : public Tray {
public:
    void setIcon(const QIcon &icon, const QString &accessibleName) override
    {
        lastIcon = icon;
        names << accessibleName;
    }
    QRect geometry() const override { return place; }
    std::optional<QColor> foreground() const override { return panelColor; }

    QIcon lastIcon;
    QStringList names;
    QRect place;
    std::optional<QColor> panelColor;
};

} // namespace tender::test
