#pragma once
#include "http/Types.h"
#include <boost/url/url_view.hpp>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tender::server {

struct RouteContext {
    const Request& request;
    boost::urls::url_view target; // path and query of the request
    std::vector<std::string> params; // the ":name" segments of the pattern, in order
    std::string client; // who asks, as the limits count it (an address); empty where none is known
};

using RouteHandler = std::function<Response(const RouteContext&)>;

struct Routed {
    Response response;
    std::string route; // the pattern that answered, for the log: never ids or queries
};

// Turns a request into a response: no sockets, so it can be called directly.
class Router {
public:
    // Handlers that take long (password hashing) run away from the threads that serve streams;
    // instant ones never touch the store, so they are answered in place whatever backs it.
    enum class Cost { quick, slow, instant };

    struct Route {
        http::verb method;
        std::string pattern;
        std::vector<std::string> segments;
        RouteHandler handler;
        Cost cost;
        RouteHandler busy; // the answer when slow work has no room; empty: a plain 503
    };

    // Where a request goes, found once and then handled.
    struct Found {
        std::optional<boost::urls::url_view> target; // absent: a malformed target
        const Route* route = nullptr;
        bool pathKnown = false;
        std::vector<std::string> params;
        bool slow() const { return route && route->cost == Cost::slow; }
        bool instant() const { return route && route->cost == Cost::instant; }
    };

    // `pattern` is a path whose segments starting with ':' match any one segment.
    void add(http::verb method, std::string pattern, RouteHandler handler, Cost cost = Cost::quick,
        RouteHandler busy = {});
    Found find(const Request& request) const;
    Routed handle(const Request& request, Found found, std::string client = {}) const;
    Routed handle(const Request& request) const { return handle(request, find(request)); }
    // The answer to a request whose slow work has no room to run.
    Routed busy(const Request& request, Found found, std::string client) const;
    std::vector<std::string> patterns() const;

private:
    static Routed run(const Route& route, const RouteHandler& handler, const RouteContext& context);
    static bool matches(const Route& route, const std::vector<std::string>& path, std::vector<std::string>& params);

    std::vector<Route> routes_;
};

}
