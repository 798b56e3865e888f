#pragma once
#include "http/Types.h"
#include <boost/url/url_view.hpp>
#include <functional>
#include <string>
#include <vector>

namespace tender::server {

struct RouteContext {
    const Request& request;
    boost::urls::url_view target; // path and query of the request
    std::vector<std::string> params; // the ":name" segments of the pattern, in order
};

using RouteHandler = std::function<Response(const RouteContext&)>;

struct Routed {
    Response response;
    std::string route; // the pattern that answered, for the log: never ids or queries
};

// Turns a request into a response: no sockets, so it can be called directly.
class Router {
public:
    // Handlers that take long (password hashing) run away from the threads that serve streams.
    enum class Cost { quick, slow };

    // `pattern` is a path whose segments starting with ':' match any one segment.
    void add(http::verb method, std::string pattern, RouteHandler handler, Cost cost = Cost::quick);
    Routed handle(const Request& request) const;
    bool isSlow(const Request& request) const;

private:
    struct Route {
        http::verb method;
        std::string pattern;
        std::vector<std::string> segments;
        RouteHandler handler;
        Cost cost;
    };
    const Route* find(const std::vector<std::string>& path, http::verb method, std::vector<std::string>& params,
        bool& pathKnown) const;
    static bool matches(const Route& route, const std::vector<std::string>& path, std::vector<std::string>& params);

    std::vector<Route> routes_;
};

}
