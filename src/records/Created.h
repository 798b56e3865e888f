#pragma once

#include "records/Device.h"

namespace tender {

// The answer to pairing a device: the record and its token, shown once and never stored.
struct Created {
    Device device;
    QString token;

    static Created fromJson(const QJsonObject &object);
    QJsonObject toJson() const;

    friend bool operator==(const Created &, const Created &) = default;
};

} // namespace tender
