#include "app/BackendUrls.h"
#include <cstdlib>
#include <libpq-fe.h>

namespace tender::server {

bool isPostgresUrl(const std::string& url)
{
    if (!url.starts_with("postgresql://") && !url.starts_with("postgres://"))
        return false;
    char* error = nullptr;
    PQconninfoOption* options = PQconninfoParse(url.c_str(), &error);
    PQfreemem(error);
    if (!options)
        return false;
    PQconninfoFree(options);
    return true;
}

bool isNatsUrl(const std::string& url)
{
    constexpr std::string_view scheme = "nats://";
    if (!url.starts_with(scheme))
        return false;
    auto rest = url.substr(scheme.size());
    auto colon = rest.rfind(':');
    if (colon == std::string::npos || colon == 0)
        return false;
    auto host = rest.substr(0, colon);
    if (host.find_first_of("/@?# ") != std::string::npos)
        return false;
    auto port = rest.substr(colon + 1);
    char* end = nullptr;
    long number = std::strtol(port.c_str(), &end, 10);
    return !port.empty() && *end == '\0' && number >= 1 && number <= 65535;
}

}
