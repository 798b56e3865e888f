#include "http/Exchange.h"
#include "http/Responses.h"
#include <boost/asio/error.hpp>
#include <boost/beast/core/error.hpp>
#include <boost/beast/http/error.hpp>
#include <boost/beast/websocket/rfc6455.hpp>

namespace tender::server {

namespace net = boost::asio;
namespace beast = boost::beast;

void limitRequest(RequestParser& parser)
{
    parser.body_limit(maxBodyBytes);
    parser.header_limit(16 * 1024);
}

std::optional<Response> refusalOf(const beast::error_code& error)
{
    if (error == http::error::end_of_stream || error == beast::error::timeout || error == net::error::connection_reset
        || error == net::error::operation_aborted || error == net::error::bad_descriptor
        || error == http::error::partial_message)
        return std::nullopt;
    auto refusal = error == http::error::body_limit
        ? errorResponse(http::status::payload_too_large, "the body is larger than 64 KiB")
        : error == http::error::header_limit
        ? errorResponse(http::status::request_header_fields_too_large, "the headers are too large")
        : errorResponse(http::status::bad_request, "malformed request");
    refusal.keep_alive(false);
    return refusal;
}

bool opensStream(const Request& request, const StreamDoor& door)
{
    return beast::websocket::is_upgrade(request) && door.isStreamPath(pathOf(request));
}

std::string_view pathOf(const Request& request)
{
    auto target = request.target();
    return target.substr(0, target.find('?'));
}

void prepareAnswer(Response& response, const Request& request)
{
    response.version(request.version());
    // 499: the client left before its turn; nobody reads what follows.
    response.keep_alive(request.keep_alive() && response.result_int() != 499);
    response.set(http::field::server, "tender-server");
    response.prepare_payload();
}

}
