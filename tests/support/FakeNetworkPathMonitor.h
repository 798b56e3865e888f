#pragma once

#include "platform/NetworkPathMonitor.h"

namespace tender::test {

class FakeNetworkPathMonitor final : public NetworkPathMonitor {
public:
    std::optional<QString> interfaceName() const override { return name_; }

    // Reports the change as the real monitor does: only when the name differs.
    void setInterfaceName(std::optional<QString> name)
    {
        if (name == name_)
            return;
        name_ = std::move(name);
        onChange(name_);
    }

private:
    std::optional<QString> name_;
};

} // namespace tender::test
