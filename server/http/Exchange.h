#pragma once
#include "http/StreamDoor.h"
#include "http/Types.h"
#include <boost/beast/http/parser.hpp>
#include <optional>

namespace tender::server {

// One request and its answer, apart from the socket they travel on.

using RequestParser = http::request_parser<http::string_body>;

// Sets the service's limits on a request's head and body.
void limitRequest(RequestParser& parser);

// The answer to a request that could not be read; nothing when the peer simply went away.
std::optional<Response> refusalOf(const boost::beast::error_code& error);

// Whether the request asks to open one of the door's streams rather than for an answer.
bool opensStream(const Request& request, const StreamDoor& door);

std::string_view pathOf(const Request& request);

// Readies a routed answer for the wire: the request's version and keep-alive, the server's name, the length.
void prepareAnswer(Response& response, const Request& request);

}
