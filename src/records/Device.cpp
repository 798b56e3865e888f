#include "records/Device.h"
#include "records/JsonFields.h"

#include <QJsonArray>

namespace tender {

using namespace Qt::StringLiterals;

Device Device::fromJson(const QJsonObject &object)
{
    return Device{
        json::requiredString(object, "id"_L1),
        json::requiredString(object, "name"_L1),
        json::requiredStrings(object, "capabilities"_L1),
        json::optionalString(object, "last_seen_at"_L1),
    };
}

QJsonObject Device::toJson() const
{
    QJsonObject object{{"id"_L1, id}, {"name"_L1, name}, {"capabilities"_L1, QJsonArray::fromStringList(capabilities)}};
    if (last_seen_at)
        object.insert("last_seen_at"_L1, *last_seen_at);
    return object;
}

} // namespace tender
