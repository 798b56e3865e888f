#include "http/Responses.h"
#include <boost/beast/core/string.hpp>

namespace tender::server {
namespace {

Response withBody(http::status status, std::string_view type, std::string body)
{
    Response response{status, 11};
    response.set(http::field::content_type, type);
    response.set(http::field::cache_control, "no-store");
    response.body() = std::move(body);
    response.prepare_payload();
    return response;
}

}

Response jsonResponse(http::status status, const json::value& body)
{
    return withBody(status, "application/json", toJson(body));
}

Response errorResponse(http::status status, std::string_view message)
{
    return jsonResponse(status, json::object{{"error", message}});
}

Response unavailableResponse(std::string_view message)
{
    auto response = errorResponse(http::status::service_unavailable, message);
    response.set(http::field::retry_after, "1");
    return response;
}

Response htmlResponse(http::status status, std::string body)
{
    auto response = withBody(status, "text/html; charset=utf-8", std::move(body));
    response.set("Content-Security-Policy",
        "default-src 'none'; style-src 'unsafe-inline'; form-action 'self' tender:; img-src data:");
    response.set("X-Frame-Options", "DENY");
    response.set("Referrer-Policy", "no-referrer");
    return response;
}

Response redirectResponse(std::string_view location)
{
    Response response{http::status::see_other, 11};
    response.set(http::field::location, location);
    response.set(http::field::cache_control, "no-store");
    response.prepare_payload();
    return response;
}

std::string serializedHead(const Response& response)
{
    std::string head;
    head.reserve(192);
    auto version = response.version();
    head.append("HTTP/").append(1, static_cast<char>('0' + version / 10)).append(".");
    head.append(1, static_cast<char>('0' + version % 10)).append(" ");
    head.append(std::to_string(response.result_int())).append(" ").append(response.reason()).append("\r\n");
    for (const auto& field : response)
        head.append(field.name_string()).append(": ").append(field.value()).append("\r\n");
    head.append("\r\n");
    return head;
}

std::string_view bearerToken(const Request& request)
{
    auto header = request[http::field::authorization];
    constexpr std::string_view scheme = "bearer ";
    if (header.size() <= scheme.size() || !boost::beast::iequals(header.substr(0, scheme.size()), scheme))
        return {};
    auto token = header.substr(scheme.size());
    while (!token.empty() && token.front() == ' ')
        token.remove_prefix(1);
    return token;
}

}
