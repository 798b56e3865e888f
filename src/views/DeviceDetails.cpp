#include "views/DeviceDetails.h"

#include "views/InternetDateTime.h"
#include "views/RelativeTime.h"

namespace tender::views {

namespace {

QString abilities(const QStringList &capabilities)
{
    QStringList words;
    if (capabilities.contains(u"receive"))
        words << QStringLiteral("принимает");
    if (capabilities.contains(u"send"))
        words << QStringLiteral("отправляет");
    QString text = words.join(QStringLiteral(" и "));
    if (!text.isEmpty())
        text[0] = text[0].toUpper();
    return text;
}

} // namespace

QString deviceDetails(const Device &device, const QDateTime &now)
{
    const QDateTime seen = parseInternetDateTime(device.last_seen_at.value_or(QString()));
    if (!seen.isValid())
        return abilities(device.capabilities) + QStringLiteral(" · ещё не подключался");
    return abilities(device.capabilities) + QStringLiteral(" · был онлайн ") + relativeTime(seen, now);
}

} // namespace tender::views
