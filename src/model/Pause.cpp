#include "model/Pause.h"

namespace tender::Pause {

QDateTime distantFuture()
{
    return QDateTime(QDate(4001, 1, 1), QTime(0, 0), Qt::UTC);
}

QDateTime end(PauseLength length, const QDateTime &now)
{
    switch (length) {
    case PauseLength::Hour:
        return now.addSecs(3600);
    case PauseLength::Morning: {
        const QDateTime local = now.toLocalTime();
        const QDateTime morning(local.date(), QTime(8, 0), Qt::LocalTime);
        if (morning > now)
            return morning;
        const QDateTime tomorrow(local.date().addDays(1), QTime(8, 0), Qt::LocalTime);
        // A calendar that cannot give tomorrow's morning still pauses for the night.
        return tomorrow.isValid() ? tomorrow : now.addSecs(12 * 3600);
    }
    case PauseLength::Indefinite:
        break;
    }
    return distantFuture();
}

bool isPaused(const std::optional<QDateTime> &until, const QDateTime &now)
{
    return until && *until > now;
}

QString text(const std::optional<QDateTime> &until, const QDateTime &now, const QLocale &locale)
{
    if (!isPaused(until, now))
        return {};
    if (*until == distantFuture())
        return QStringLiteral("Пауза, пока не снимешь");
    const QDateTime local = until->toLocalTime();
    const QString time = locale.toString(local.time(), QLocale::ShortFormat);
    if (local.date() == now.toLocalTime().date())
        return QStringLiteral("Пауза до ") + time;
    return QStringLiteral("Пауза до завтра, ") + time;
}

} // namespace tender::Pause
