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

}

void Router::add(http::verb method, std::string pattern, RouteHandler handler)
{
    auto segments = splitPattern(pattern);
    routes_.push_back({method, std::move(pattern), std::move(segments), std::move(handler)});
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

Routed Router::handle(const Request& request) const
{
    auto parsed = boost::urls::parse_origin_form(request.target());
    if (!parsed)
        return {errorResponse(http::status::bad_request, "malformed request target"), "-"};
    std::vector<std::string> path;
    for (auto segment : parsed->segments())
        path.push_back(segment);
    bool pathKnown = false;
    std::vector<std::string> params;
    for (const auto& route : routes_) {
        if (!matches(route, path, params))
            continue;
        pathKnown = true;
        if (route.method != request.method())
            continue;
        try {
            return {route.handler(RouteContext{request, *parsed, std::move(params)}), route.pattern};
        } catch (const std::exception& error) {
            logLine(std::string("error in ") + route.pattern + ": " + error.what());
            return {errorResponse(http::status::internal_server_error, "internal error"), route.pattern};
        }
    }
    if (pathKnown)
        return {errorResponse(http::status::method_not_allowed, "method not allowed"), "-"};
    return {errorResponse(http::status::not_found, "not found"), "-"};
}

}
