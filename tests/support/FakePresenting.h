#pragma once

#include "platform/Presenting.h"

namespace tender::test {

// Counts the questions, so a test can tell which checks ran and in what order.
class FakePresenting final : public Presenting {
public:
    bool mirrored() const override
    {
        ++mirroredAsked;
        return isMirrored;
    }
    bool frontAppFullScreen() const override
    {
        ++fullScreenAsked;
        return isFullScreen;
    }

    bool isMirrored = false;
    bool isFullScreen = false;
    mutable int mirroredAsked = 0;
    mutable int fullScreenAsked = 0;
};

} // namespace tender::test
