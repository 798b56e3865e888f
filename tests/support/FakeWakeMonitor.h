#pragma once

#include "platform/WakeMonitor.h"

namespace tender::test {

class FakeWakeMonitor final : public WakeMonitor {
public:
    void wake() { onWake(); }
};

} // namespace tender::test
