#pragma once

#include "platform/NetworkPathMonitor.h"

namespace tender::test {

// A machine whose network never changes; the stream's reaction to changes is driven directly.
class FakeNetworkPathMonitor final : public NetworkPathMonitor {
public:
    std::optional<QString> interfaceName() const override { return std::nullopt; }
};

} // namespace tender::test
