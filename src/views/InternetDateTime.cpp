#include "views/InternetDateTime.h"

#include <QRegularExpression>
#include <QTimeZone>

namespace tender::views {

namespace {

const QRegularExpression &pattern()
{
    static const QRegularExpression expression(QStringLiteral(
        "^([0-9]{4})-([0-9]{2})-([0-9]{2})[Tt]([0-9]{2}):([0-9]{2}):([0-9]{2})(?:\\.([0-9]+))?"
        "(?:([Zz])|([+-])([0-9]{2}):([0-9]{2}))$"));
    return expression;
}

int number(const QRegularExpressionMatch &match, int group)
{
    return match.capturedView(group).toInt();
}

} // namespace

QDateTime parseInternetDateTime(const QString &text)
{
    const QRegularExpressionMatch match = pattern().match(text);
    if (!match.hasMatch())
        return {};
    const QDate date(number(match, 1), number(match, 2), number(match, 3));
    const int milliseconds = match.captured(7).leftJustified(3, u'0').left(3).toInt();
    const QTime time(number(match, 4), number(match, 5), number(match, 6), milliseconds);
    if (!date.isValid() || !time.isValid())
        return {};
    if (match.hasCaptured(8))
        return QDateTime(date, time, Qt::UTC);
    const int hours = number(match, 10);
    const int minutes = number(match, 11);
    if (hours > 23 || minutes > 59)
        return {};
    const int offset = (match.captured(9) == u"-" ? -1 : 1) * (hours * 3600 + minutes * 60);
    return QDateTime(date, time, QTimeZone(offset));
}

} // namespace tender::views
