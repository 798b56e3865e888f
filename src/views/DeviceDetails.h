#pragma once

#include "records/Device.h"

#include <QDateTime>

namespace tender::views {

// The second line of a device's row, seen at `now`: what it does, then when
// it was last online ("Принимает и отправляет · был онлайн вчера") or that it
// never connected.
QString deviceDetails(const Device &device, const QDateTime &now);

} // namespace tender::views
