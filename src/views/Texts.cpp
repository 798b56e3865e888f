#include "views/Texts.h"

#include <QLocale>
#include <QTextBoundaryFinder>

namespace tender::views {

QString peopleCount(qint64 n)
{
    const qint64 tens = n % 100;
    const qint64 ones = n % 10;
    const bool few = ones >= 2 && ones <= 4 && !(tens >= 12 && tens <= 14);
    return QString::number(n) + (few ? QStringLiteral(" человека") : QStringLiteral(" человек"));
}

QString avatarInitial(const QString &label)
{
    return label.isEmpty() ? QStringLiteral("♥") : initialLetter(label);
}

QString initialLetter(const QString &label)
{
    if (label.isEmpty())
        return QString();
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, label);
    const qsizetype end = graphemes.toNextBoundary();
    const QString first = label.left(end > 0 ? end : label.size());
    return QLocale().toUpper(first);
}

} // namespace tender::views
