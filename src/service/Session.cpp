#include "records/JsonFields.h"
#include "service/Session.h"

namespace tender {

using namespace Qt::StringLiterals;

Session Session::fromJson(const QJsonObject &object)
{
    return Session{json::requiredString(object, "uid"_L1), json::optionalString(object, "email"_L1),
                   json::requiredString(object, "refreshToken"_L1)};
}

QJsonObject Session::toJson() const
{
    QJsonObject object{{"uid"_L1, uid}};
    if (email)
        object.insert("email"_L1, *email);
    object.insert("refreshToken"_L1, refreshToken);
    return object;
}

} // namespace tender
