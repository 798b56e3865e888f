#pragma once

#include "records/Device.h"

#include <QList>
#include <QQmlEngine>

namespace tender::views {

// Devices as QML sees them: device.id, device.name, device.capabilities.
struct DeviceForeign {
    Q_GADGET
    QML_FOREIGN(tender::Device)
    QML_VALUE_TYPE(device)
};

struct DeviceListForeign {
    Q_GADGET
    QML_FOREIGN(QList<tender::Device>)
    QML_ANONYMOUS
    QML_SEQUENTIAL_CONTAINER(tender::Device)
};

} // namespace tender::views
