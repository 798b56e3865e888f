#include "limits/Throttle.h"

namespace tender::server {

Counter& refusalsOf(Metrics& metrics, const std::string& kind)
{
    return metrics.counter("tender_throttled_total", "Requests refused by a limit, by kind", {{"kind", kind}});
}

Throttle::Throttle(Counters& counters, std::string kind, std::int64_t limit, std::int64_t windowMs, Metrics& metrics)
    : counters_(counters)
    , prefix_(kind + ":")
    , limit_(limit)
    , windowMs_(windowMs)
    , refused_(refusalsOf(metrics, kind))
{
}

std::optional<Throttle::Refusal> Throttle::judge(const Counters::Window& window, std::int64_t limit, std::int64_t nowMs)
{
    if (window.count <= limit)
        return std::nullopt;
    refused_.add();
    return Refusal{std::max<std::int64_t>(1, (window.endsAtMs - nowMs + 999) / 1000)};
}

std::optional<Throttle::Refusal> Throttle::take(const std::string& key, std::int64_t nowMs)
{
    return judge(counters_.add(prefix_ + key, 1, windowMs_, nowMs), limit_, nowMs);
}

std::optional<Throttle::Refusal> Throttle::check(const std::string& key, std::int64_t nowMs)
{
    return judge(counters_.add(prefix_ + key, 0, windowMs_, nowMs), limit_ - 1, nowMs);
}

void Throttle::count(const std::string& key, std::int64_t nowMs)
{
    counters_.add(prefix_ + key, 1, windowMs_, nowMs);
}

void Throttle::clear(const std::string& key)
{
    counters_.clear(prefix_ + key);
}

}
