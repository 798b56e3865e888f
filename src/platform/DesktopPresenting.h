#pragma once

#include "platform/Presenting.h"

#include <memory>

namespace tender {

class X11DesktopReader;

// Mirroring from Qt's screens (one per enabled output, so mirrored outputs
// share a geometry). The frontmost application's windows from X11 where the
// app runs on xcb; elsewhere there is no such query and nothing is full-screen.
class DesktopPresenting final : public Presenting {
public:
    DesktopPresenting();
    ~DesktopPresenting() override;

    bool mirrored() const override;
    bool frontAppFullScreen() const override;

private:
    std::unique_ptr<X11DesktopReader> x11_;
};

} // namespace tender
