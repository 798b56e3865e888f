#pragma once
#include "app/Backends.h"
#include "http/Router.h"

namespace tender::server {

// GET /readyz: 200 when every named check passes, 503 naming the ones that fail; a balancer
// takes the node out meanwhile.
void addReadinessRoute(Router& router, std::vector<ReadinessCheck> checks);

}
