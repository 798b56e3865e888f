#pragma once

#include <QString>

namespace tender::cli {

// A line from standard input; on a terminal the typing is not echoed.
QString readSecret(const QString &prompt);

} // namespace tender::cli
