#include "model/LabelOrder.h"

#include <QCollator>

namespace tender {

namespace {

QCollator makeCollator()
{
    QCollator collator(QLocale(QLocale::Russian, QLocale::Russia));
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    return collator;
}

} // namespace

int compareLabels(const QString &a, const QString &b)
{
    static const QCollator collator = makeCollator();
    return collator.compare(a, b);
}

} // namespace tender
