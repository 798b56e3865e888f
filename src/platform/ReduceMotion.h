#pragma once

#include <functional>

namespace tender {

// The desktop's accessibility wish for less motion.
class ReduceMotion {
public:
    virtual ~ReduceMotion() = default;

    virtual bool enabled() const = 0;

    // Called on the main thread when the desktop reports a new value.
    std::function<void(bool)> onChange = [](bool) {};
};

} // namespace tender
