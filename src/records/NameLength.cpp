#include "records/NameLength.h"

#include <QList>

namespace tender::NameLength {

qsizetype characters(const QString &text)
{
    return text.toUcs4().size();
}

bool fits(const QString &trimmed)
{
    const qsizetype length = characters(trimmed);
    return length >= 1 && length <= longest;
}

} // namespace tender::NameLength
