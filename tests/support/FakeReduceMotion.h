#pragma once

#include "platform/ReduceMotion.h"

namespace tender::test {

class FakeReduceMotion final : public ReduceMotion {
public:
    bool enabled() const override { return enabled_; }
    void set(bool enabled)
    {
        enabled_ = enabled;
        onChange(enabled);
    }

private:
    bool enabled_ = false;
};

} // namespace tender::test
