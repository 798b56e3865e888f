#include "platform/MotionSettings.h"

#include <QDBusVariant>
#include <QStringList>

namespace tender::MotionSettings {

std::optional<bool> reduceFromPortalValue(const QVariant &value)
{
    QVariant inner = value;
    // The portal's Read answers a variant holding the variant of the setting.
    for (int depth = 0; depth < 4 && inner.metaType() == QMetaType::fromType<QDBusVariant>(); ++depth)
        inner = inner.value<QDBusVariant>().variant();
    if (inner.typeId() != QMetaType::Bool)
        return std::nullopt;
    return !inner.toBool();
}

std::optional<double> kdeAnimationDurationFactor(const QString &kdeglobals)
{
    bool inKdeGroup = false;
    for (QString line : kdeglobals.split(u'\n')) {
        line = line.trimmed();
        if (line.startsWith(u'[')) {
            inKdeGroup = line == u"[KDE]";
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (!inKdeGroup || equals <= 0)
            continue;
        QString key = line.left(equals).trimmed();
        // Flags such as [$i] (immutable) may follow the key.
        key = key.left(key.indexOf(u'[') < 0 ? key.size() : key.indexOf(u'['));
        if (key != u"AnimationDurationFactor")
            continue;
        bool ok = false;
        const double factor = line.mid(equals + 1).trimmed().toDouble(&ok);
        if (ok)
            return factor;
    }
    return std::nullopt;
}

} // namespace tender::MotionSettings
