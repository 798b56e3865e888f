#include "ops/RequestMetrics.h"

namespace tender::server {
namespace {

constexpr const char* name = "tender_request_duration_seconds";
constexpr const char* help = "Time from a request's arrival to its answer, by route";

}

RequestMetrics::RequestMetrics(Metrics& metrics)
    : metrics_(metrics)
    , other_(&metrics.histogram(name, help, Metrics::latencyBounds(), {{"route", "-"}}))
{
}

void RequestMetrics::addRoutes(const std::vector<std::string>& routes)
{
    for (const auto& route : routes)
        byRoute_.emplace(route, &metrics_.histogram(name, help, Metrics::latencyBounds(), {{"route", route}}));
}

void RequestMetrics::observe(std::string_view route, double seconds)
{
    auto found = byRoute_.find(route);
    (found == byRoute_.end() ? other_ : found->second)->observe(seconds);
}

}
