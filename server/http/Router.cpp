#include "http/Router.h"
#include "common/Log.h"
#include "common/Unavailable.h"
#include "http/Responses.h"
#include <boost/url/parse.hpp>

namespace tender::server {
namespace {

std::vector<std::string> splitPattern(const std::string& pattern)
{
    std::vector<std::string> segments;
    std::size_t start = 1;
    while (start <= pattern.size()) {
        auto end = pattern.find('/', start);
        if (end == std::string::npos)
            end = pattern.size();
        segments.push_back(pattern.substr(start, end - start));
        start = end + 1;
    }
    return segments;
}

}

void Router::add(http::verb method, std::string pattern, RouteHandler handler, Cost cost, RouteHandler busy)
{
    auto segments = splitPattern(pattern);
    routes_.push_back({method, std::move(pattern), std::move(segments), std::move(handler), cost, std::move(busy)});
}

bool Router::matches(const Route& route, const std::vector<std::string>& path, std::vector<std::string>& params)
{
    if (route.segments.size() != path.size())
        return false;
    params.clear();
    for (std::size_t i = 0; i < path.size(); ++i) {
        const auto& want = route.segments[i];
        if (!want.empty() && want.front() == ':') {
            if (path[i].empty())
                return false;
            params.push_back(path[i]);
        } else if (want != path[i]) {
            return false;
        }
    }
    return true;
}

std::vector<std::string> Router::patterns() const
{
    std::vector<std::string> all;
    for (const auto& route : routes_)
        all.push_back(route.pattern);
    return all;
}

Router::Found Router::find(const Request& request) const
{
    Found found;
    auto parsed = boost::urls::parse_origin_form(request.target());
    if (!parsed)
        return found;
    found.target = *parsed;
    std::vector<std::string> path;
    for (auto segment : parsed->segments())
        path.push_back(segment);
    for (const auto& route : routes_) {
        if (!matches(route, path, found.params))
            continue;
        found.pathKnown = true;
        if (route.method == request.method()) {
            found.route = &route;
            break;
        }
    }
    return found;
}

Routed Router::handle(const Request& request, Found found, std::string client) const
{
    if (!found.target)
        return {errorResponse(http::status::bad_request, "malformed request target"), "-"};
    const auto* route = found.route;
    if (!route)
        return found.pathKnown ? Routed{errorResponse(http::status::method_not_allowed, "method not allowed"), "-"}
                               : Routed{errorResponse(http::status::not_found, "not found"), "-"};
    return run(*route, route->handler, RouteContext{request, *found.target, std::move(found.params), std::move(client)});
}

Routed Router::busy(const Request& request, Found found, std::string client) const
{
    if (!found.route || !found.target || !found.route->busy)
        return {unavailableResponse("busy, try again shortly"), found.route ? found.route->pattern : "-"};
    const auto& route = *found.route;
    return run(route, route.busy, RouteContext{request, *found.target, std::move(found.params), std::move(client)});
}

Routed Router::run(const Route& route, const RouteHandler& handler, const RouteContext& context)
{
    try {
        return {handler(context), route.pattern};
    } catch (const Unavailable& error) {
        logLine(std::string("unavailable in ") + route.pattern + ": " + error.what());
        return {unavailableResponse("not available now, try again shortly"), route.pattern};
    } catch (const std::exception& error) {
        logLine(std::string("error in ") + route.pattern + ": " + error.what());
        return {errorResponse(http::status::internal_server_error, "internal error"), route.pattern};
    }
}

}
