#pragma once

#include <QString>

namespace tender::DesktopEntry {

// The program path as one argument of an Exec key, quoted and escaped as
// desktop entries require.
QString execArgument(const QString &program);

// Whether the [Desktop Entry] group of `content` sets Hidden=true.
bool isHidden(const QString &content);

} // namespace tender::DesktopEntry
