#pragma once

#include "records/Contact.h"
#include "records/Device.h"
#include "records/JsonFields.h"

#include <QList>

namespace tender {

// A list answer of the service: an object whose one key holds the records,
// {"contacts": [...]} or {"devices": [...]}. One bad element fails the whole list.
template<typename Record, const char *Key>
struct RecordList {
    QList<Record> items;

    static RecordList fromJson(const QJsonObject &object)
    {
        return RecordList{json::requiredList<Record>(object, QLatin1StringView(Key))};
    }

    QJsonObject toJson() const
    {
        QJsonArray array;
        for (const Record &record : items)
            array.append(record.toJson());
        return QJsonObject{{QLatin1StringView(Key), array}};
    }

    friend bool operator==(const RecordList &, const RecordList &) = default;
};

inline constexpr char contactsKey[] = "contacts";
inline constexpr char devicesKey[] = "devices";

using ContactList = RecordList<Contact, contactsKey>;
using DeviceList = RecordList<Device, devicesKey>;

} // namespace tender
