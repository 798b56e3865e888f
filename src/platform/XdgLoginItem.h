#pragma once

#include "platform/LoginItem.h"

#include <QString>

namespace tender {

// An XDG autostart entry, <autostart dir>/<app id>.desktop. Enabled means the
// entry exists and is not Hidden=true; disabling removes it.
class XdgLoginItem final : public LoginItem {
public:
    XdgLoginItem(QString autostartDirectory, QString appId, QString program);

    // ~/.config/autostart (after $XDG_CONFIG_HOME), starting this executable,
    // or the AppImage it runs from.
    static XdgLoginItem forThisProgram(const QString &appId);

    bool isEnabled() const override;
    bool setEnabled(bool enabled) override;

    QString entryPath() const;

private:
    bool writeEntry() const;

    QString directory_;
    QString appId_;
    QString program_;
};

} // namespace tender
