#pragma once
#include "http/Router.h"
#include "ops/Metrics.h"
#include "ops/Readiness.h"

namespace tender::server {

// /healthz (the process answers), /readyz (its parts answer) and, when `withMetrics`, /metrics:
// unauthenticated, and cheap enough to ask often.
void addOpsRoutes(Router& router, const Readiness& readiness, const Metrics& metrics, bool withMetrics);

}
