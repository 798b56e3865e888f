#include "records/Contact.h"
#include "records/JsonFields.h"

namespace tender {

using namespace Qt::StringLiterals;

Contact Contact::fromJson(const QJsonObject &object)
{
    return Contact{
        json::requiredString(object, "id"_L1),
        json::requiredString(object, "label"_L1),
        json::requiredInteger(object, "position"_L1),
        json::optionalBool(object, "close"_L1),
    };
}

QJsonObject Contact::toJson() const
{
    QJsonObject object{{"id"_L1, id}, {"label"_L1, label}, {"position"_L1, position}};
    if (close)
        object.insert("close"_L1, *close);
    return object;
}

} // namespace tender
