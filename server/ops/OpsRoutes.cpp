#include "ops/OpsRoutes.h"
#include "common/Time.h"
#include "http/Responses.h"

namespace tender::server {
namespace {

Response ready(const Readiness& readiness)
{
    json::object checks;
    std::string failing;
    for (const auto& result : readiness.results(nowMs())) {
        checks[result.name] = result.ok ? "ok" : "failing";
        if (!result.ok)
            failing += (failing.empty() ? "" : ", ") + result.name;
    }
    if (failing.empty())
        return jsonResponse(http::status::ok, json::object{{"status", "ready"}, {"checks", std::move(checks)}});
    return jsonResponse(http::status::service_unavailable,
        json::object{{"status", "not ready"}, {"error", "not ready: " + failing}, {"checks", std::move(checks)}});
}

}

void addOpsRoutes(Router& router, const Readiness& readiness, const Metrics& metrics, bool withMetrics)
{
    router.add(http::verb::get, "/healthz",
        [](const RouteContext&) { return jsonResponse(http::status::ok, json::object{{"status", "ok"}}); },
        Router::Cost::instant);
    router.add(http::verb::get, "/readyz", [&readiness](const RouteContext&) { return ready(readiness); },
        Router::Cost::instant);
    if (!withMetrics)
        return;
    router.add(http::verb::get, "/metrics", [&metrics](const RouteContext&) {
        Response response{http::status::ok, 11};
        response.set(http::field::content_type, "text/plain; version=0.0.4; charset=utf-8");
        response.set(http::field::cache_control, "no-store");
        response.body() = metrics.text();
        return response;
    }, Router::Cost::instant);
}

}
