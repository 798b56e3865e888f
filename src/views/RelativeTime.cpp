#include "views/RelativeTime.h"

#include "views/Texts.h"

namespace tender::views {

namespace {

// Whole calendar units between two moments, the larger units taken first.
struct Span {
    qint64 years = 0, months = 0, weeks = 0, days = 0, hours = 0, minutes = 0, seconds = 0;
};

Span spanBetween(const QDateTime &from, const QDateTime &to)
{
    Span span;
    qint64 months = qint64(to.date().year() - from.date().year()) * 12 + (to.date().month() - from.date().month());
    if (months > 0 && from.addMonths(int(months)) > to)
        --months;
    QDateTime cursor = from.addMonths(int(months));
    qint64 days = cursor.date().daysTo(to.date());
    if (days > 0 && cursor.addDays(days) > to)
        --days;
    cursor = cursor.addDays(days);
    const qint64 seconds = cursor.secsTo(to);
    span.years = months / 12;
    span.months = months % 12;
    span.weeks = days / 7;
    span.days = days % 7;
    span.hours = seconds / 3600;
    span.minutes = seconds % 3600 / 60;
    span.seconds = seconds % 60;
    return span;
}

QString ago(qint64 n, const char *one, const char *few, const char *many)
{
    return QStringLiteral("%1 %2 назад").arg(n).arg(pluralForm(n, QString::fromUtf8(one), QString::fromUtf8(few), QString::fromUtf8(many)));
}

} // namespace

QString relativeTime(const QDateTime &then, const QDateTime &now)
{
    if (then.secsTo(now) < 1)
        return QStringLiteral("сейчас");
    // Calendar units follow the user's own days and months.
    const Span span = spanBetween(then.toLocalTime(), now.toLocalTime());
    if (span.years > 0)
        return span.years == 1 ? QStringLiteral("в прошлом году") : ago(span.years, "год", "года", "лет");
    if (span.months > 0)
        return span.months == 1 ? QStringLiteral("в прошлом месяце") : ago(span.months, "месяц", "месяца", "месяцев");
    if (span.weeks > 0)
        return span.weeks == 1 ? QStringLiteral("на прошлой неделе") : ago(span.weeks, "неделю", "недели", "недель");
    if (span.days == 1)
        return QStringLiteral("вчера");
    if (span.days == 2)
        return QStringLiteral("позавчера");
    if (span.days > 0)
        return ago(span.days, "день", "дня", "дней");
    if (span.hours > 0)
        return ago(span.hours, "час", "часа", "часов");
    if (span.minutes > 0)
        return ago(span.minutes, "минуту", "минуты", "минут");
    return ago(span.seconds, "секунду", "секунды", "секунд");
}

} // namespace tender::views
