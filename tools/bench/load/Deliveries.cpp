#include "load/Deliveries.h"
#include <algorithm>

namespace tender::bench {

Deliveries::Deliveries(unsigned recipients)
    : pending_(recipients)
    , apart_(recipients, false)
{
}

void Deliveries::setApart(unsigned recipient)
{
    apart_[recipient] = true;
}

void Deliveries::sent(unsigned recipient, Clock::time_point due)
{
    ++sent_;
    pending_[recipient].push_back(due);
}

void Deliveries::notAccepted(unsigned recipient, Clock::time_point due, bool transportFailed)
{
    ++(transportFailed ? failed_ : refused_);
    auto& queue = pending_[recipient];
    if (auto found = std::find(queue.begin(), queue.end(), due); found != queue.end())
        queue.erase(found);
}

void Deliveries::arrived(unsigned recipient, Clock::time_point now)
{
    auto& queue = pending_[recipient];
    if (queue.empty()) {
        ++unmatched_;
        return;
    }
    if (apart_[recipient]) {
        ++deliveredApart_;
        queue.pop_front();
        return;
    }
    ++delivered_;
    latency_.record(std::chrono::duration_cast<std::chrono::microseconds>(now - queue.front()).count());
    queue.pop_front();
}

void Deliveries::streamLost(unsigned recipient)
{
    lostOffline_ += pending_[recipient].size();
    pending_[recipient].clear();
}

std::uint64_t Deliveries::outstanding() const
{
    std::uint64_t total = 0;
    for (const auto& queue : pending_)
        total += queue.size();
    return total;
}

}
