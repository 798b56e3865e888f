#include "records/Created.h"
#include "records/JsonFields.h"

namespace tender {

using namespace Qt::StringLiterals;

Created Created::fromJson(const QJsonObject &object)
{
    return Created{Device::fromJson(json::requiredObject(object, "device"_L1)), json::requiredString(object, "token"_L1)};
}

QJsonObject Created::toJson() const
{
    return QJsonObject{{"device"_L1, device.toJson()}, {"token"_L1, token}};
}

} // namespace tender
