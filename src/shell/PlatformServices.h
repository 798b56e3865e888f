#pragma once

#include "model/AppModel.h"
#include "presentation/Overlay.h"

#include <memory>

namespace tender {

class Clipboard;
class WakeMonitor;

// The real desktop services the app runs on, owned in one place.
class PlatformServices {
public:
    PlatformServices();
    ~PlatformServices();

    // The model's services; the overlay is handed over, the rest stays here.
    AppServices appServices();
    Clock &clock();
    Clipboard &clipboard();
    WakeMonitor &wake();

private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
};

} // namespace tender
