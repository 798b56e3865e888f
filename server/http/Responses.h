#pragma once
#include "common/Json.h"
#include "http/Types.h"
#include <string>
#include <string_view>

namespace tender::server {

Response jsonResponse(http::status status, const json::value& body);
// {"error": message}: the one shape of every refusal of the REST API.
Response errorResponse(http::status status, std::string_view message);
// 503 with a Retry-After of a second: the service cannot answer now but will soon.
Response unavailableResponse(std::string_view message);
Response htmlResponse(http::status status, std::string body);
Response redirectResponse(std::string_view location);

// The status line and fields as they go on the wire, ending with the blank line: what Beast's
// serializer writes, for less work on answers this small.
std::string serializedHead(const Response& response);

// The bearer token of an Authorization header, if there is one.
std::string_view bearerToken(const Request& request);

}
