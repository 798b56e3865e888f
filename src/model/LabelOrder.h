#pragma once

#include <QString>

namespace tender {

// Orders people's labels as a file browser would: Russian collation, case
// ignored, runs of digits compared as numbers ("Аня 9" before "Аня 10").
// Negative, zero or positive, like QString::compare.
int compareLabels(const QString &a, const QString &b);

} // namespace tender
