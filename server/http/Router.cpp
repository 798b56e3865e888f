#include "http/Router.h"
#include "common/Log.h"
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

std::vector<std::string> segmentsOf(const boost::urls::url_view& target)
{
    std::vector<std::string> path;
    for (auto segment : target.segments())
        path.push_back(segment);
    return path;
}

}

void Router::add(http::verb method, std::string pattern, RouteHandler handler, Cost cost)
{
    auto segments = splitPattern(pattern);
    routes_.push_back({method, std::move(pattern), std::move(segments), std::move(handler), cost});
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

const Router::Route* Router::find(const std::vector<std::string>& path, http::verb method,
    std::vector<std::string>& params, bool& pathKnown) const
{
    pathKnown = false;
    for (const auto& route : routes_) {
        if (!matches(route, path, params))
            continue;
        pathKnown = true;
        if (route.method == method)
            return &route;
    }
    return nullptr;
}

bool Router::isSlow(const Request& request) const
{
    auto parsed = boost::urls::parse_origin_form(request.target());
    if (!parsed)
        return false;
    std::vector<std::string> params;
    bool pathKnown = false;
    auto* route = find(segmentsOf(*parsed), request.method(), params, pathKnown);
    return route && route->cost == Cost::slow;
}

Routed Router::handle(const Request& request) const
{
    auto parsed = boost::urls::parse_origin_form(request.target());
    if (!parsed)
        return {errorResponse(http::status::bad_request, "malformed request target"), "-"};
    std::vector<std::string> params;
    bool pathKnown = false;
    auto* route = find(segmentsOf(*parsed), request.method(), params, pathKnown);
    if (!route)
        return pathKnown ? Routed{errorResponse(http::status::method_not_allowed, "method not allowed"), "-"}
                         : Routed{errorResponse(http::status::not_found, "not found"), "-"};
    try {
        return {route->handler(RouteContext{request, *parsed, std::move(params)}), route->pattern};
    } catch (const std::exception& error) {
        logLine(std::string("error in ") + route->pattern + ": " + error.what());
        return {errorResponse(http::status::internal_server_error, "internal error"), route->pattern};
    }
}

}
