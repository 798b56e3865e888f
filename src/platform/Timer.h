#pragma once

namespace tender {

// A pending one-shot or repeating action. Destroying the handle cancels it,
// so the field that owns a delayed action decides how long it may act.
class Timer {
public:
    virtual ~Timer() = default;
    virtual void cancel() = 0;
    virtual bool isActive() const = 0;
};

} // namespace tender
