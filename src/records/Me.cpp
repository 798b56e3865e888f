#include "records/JsonFields.h"
#include "records/Me.h"

namespace tender {

using namespace Qt::StringLiterals;

Me Me::fromJson(const QJsonObject &object)
{
    return Me{json::requiredString(object, "uid"_L1), json::requiredString(object, "invite_url"_L1)};
}

QJsonObject Me::toJson() const
{
    return QJsonObject{{"uid"_L1, uid}, {"invite_url"_L1, invite_url}};
}

} // namespace tender
