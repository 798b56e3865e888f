#include "app/Readiness.h"
#include "http/Responses.h"

namespace tender::server {

void addReadinessRoute(Router& router, std::vector<ReadinessCheck> checks)
{
    router.add(http::verb::get, "/readyz", [checks = std::move(checks)](const RouteContext&) {
        json::object results;
        bool ready = true;
        for (const auto& check : checks) {
            bool passes = check.passes();
            ready = ready && passes;
            results[check.name] = passes ? "ok" : "failing";
        }
        return jsonResponse(ready ? http::status::ok : http::status::service_unavailable,
            json::object{{"status", ready ? "ready" : "not ready"}, {"checks", std::move(results)}});
    });
}

}
