#include "views/Delays.h"

#include "platform/Clock.h"
#include "views/Timeline.h"

#include <algorithm>

namespace tender::views {

Delays::Delays(QObject *parent)
    : QObject(parent)
{
}

Delays::~Delays() = default;

void Delays::after(int ms, QJSValue action)
{
    Clock *clock = Timeline::clock();
    if (!clock)
        return;
    std::erase_if(pending_, [](const std::unique_ptr<Timer> &timer) { return !timer->isActive(); });
    pending_.push_back(clock->singleShot(Milliseconds(ms), [action]() mutable {
        if (action.isCallable())
            action.call();
    }));
}

} // namespace tender::views
