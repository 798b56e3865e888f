#include "views/Texts.h"

#include <QLocale>
#include <QTextBoundaryFinder>

namespace tender::views {

QString peopleCount(qint64 n)
{
    const QString people = QStringLiteral("человек");
    return QString::number(n) + u' ' + pluralForm(n, people, QStringLiteral("человека"), people);
}

QString pluralForm(qint64 n, const QString &one, const QString &few, const QString &many)
{
    const qint64 tens = n % 100;
    const qint64 ones = n % 10;
    if (ones == 1 && tens != 11)
        return one;
    if (ones >= 2 && ones <= 4 && !(tens >= 12 && tens <= 14))
        return few;
    return many;
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
