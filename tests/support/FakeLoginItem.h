#pragma once

#include "platform/LoginItem.h"

namespace tender::test {

// A login item whose system can be told to refuse changes, or to accept a
// change without enabling (awaiting the user's approval).
class FakeLoginItem final : public LoginItem {
public:
    bool isEnabled() const override { return enabled; }
    bool setEnabled(bool on) override
    {
        ++requests;
        if (refuse)
            return false;
        enabled = on && !awaitsApproval;
        return true;
    }

    bool enabled = false;
    bool refuse = false;
    bool awaitsApproval = false;
    int requests = 0;
};

} // namespace tender::test
