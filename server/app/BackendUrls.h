#pragma once
#include <string>

namespace tender::server {

// postgresql://… or postgres://…, as libpq's own parser reads it.
bool isPostgresUrl(const std::string& url);
// nats://HOST:PORT and nothing more.
bool isNatsUrl(const std::string& url);

}
