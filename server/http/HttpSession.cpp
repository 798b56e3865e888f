#include "http/HttpSession.h"
#include "common/Log.h"
#include "http/Responses.h"
#include "http/WsSession.h"
#include <array>
#include <boost/asio/as_tuple.hpp>
#include <boost/asio/co_spawn.hpp>
#include <boost/asio/detached.hpp>
#include <boost/asio/this_coro.hpp>
#include <boost/asio/use_awaitable.hpp>
#include <boost/asio/write.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/websocket/rfc6455.hpp>
#include <boost/url/parse.hpp>

namespace tender::server {

namespace net = boost::asio;
namespace beast = boost::beast;
using Clock = std::chrono::steady_clock;

namespace {

constexpr auto use = net::as_tuple(net::use_awaitable);

std::string_view pathOf(const Request& request)
{
    auto target = request.target();
    return target.substr(0, target.find('?'));
}

void logRequest(const Request& request, std::string_view route, unsigned status, Clock::time_point started)
{
    auto micros = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - started).count();
    logLine(std::string(request.method_string()) + " " + std::string(route) + " " + std::to_string(status) + " "
        + std::to_string(micros) + "us");
}

Response refusalOf(const beast::error_code& error)
{
    if (error == http::error::body_limit)
        return errorResponse(http::status::payload_too_large, "the body is larger than 64 KiB");
    if (error == http::error::header_limit)
        return errorResponse(http::status::request_header_fields_too_large, "the headers are too large");
    return errorResponse(http::status::bad_request, "malformed request");
}

Response busy()
{
    auto response = errorResponse(http::status::service_unavailable, "busy, try again shortly");
    response.set(http::field::retry_after, "1");
    return response;
}

}

net::awaitable<void> serveConnection(net::ip::tcp::socket socket, const Router& router, StreamDoor& door,
    ConnectionSettings settings)
{
    beast::tcp_stream stream(std::move(socket));
    beast::flat_buffer buffer;
    for (;;) {
        http::request_parser<http::string_body> parser;
        parser.body_limit(maxBodyBytes);
        parser.header_limit(16 * 1024);
        stream.expires_after(settings.requestTimeout);
        auto [readError, readBytes] = co_await http::async_read(stream, buffer, parser, use);
        auto started = Clock::now();
        if (readError) {
            bool silentEnd = readError == http::error::end_of_stream || readError == beast::error::timeout
                || readError == net::error::connection_reset || readError == net::error::operation_aborted
                || readError == http::error::partial_message;
            if (!silentEnd) {
                auto refusal = refusalOf(readError);
                refusal.keep_alive(false);
                co_await http::async_write(stream, refusal, use);
            }
            break;
        }
        Request request = parser.release();

        if (beast::websocket::is_upgrade(request) && door.isStreamPath(pathOf(request))) {
            std::variant<Response, Audience> admitted = busy();
            if (settings.storeWork) {
                auto answer = co_await settings.storeWork->run([&] { return door.admit(request); });
                if (answer)
                    admitted = std::move(*answer);
            } else {
                admitted = door.admit(request);
            }
            if (auto* audience = std::get_if<Audience>(&admitted)) {
                logRequest(request, pathOf(request), 101, started);
                auto session = std::make_shared<WsSession>(std::move(stream), std::move(*audience), door,
                    settings.streamSilence);
                session->start(std::move(request));
                co_return;
            }
            auto& refusal = std::get<Response>(admitted);
            logRequest(request, pathOf(request), refusal.result_int(), started);
            refusal.keep_alive(false);
            co_await http::async_write(stream, refusal, use);
            break;
        }

        Routed routed;
        auto found = router.find(request);
        // No co_await inside a conditional expression: g++ 12 miscompiles it.
        if (settings.slowWork && found.slow()) {
            routed = co_await net::co_spawn(settings.slowWork,
                [&]() -> net::awaitable<Routed> { co_return router.handle(request, std::move(found)); },
                net::use_awaitable);
        } else if (settings.storeWork && !found.instant()) {
            auto answer = co_await settings.storeWork->run([&] { return router.handle(request, std::move(found)); });
            routed = answer ? std::move(*answer) : Routed{busy(), "-"};
        } else {
            routed = router.handle(request, std::move(found));
        }
        logRequest(request, routed.route, routed.response.result_int(), started);
        routed.response.version(request.version());
        routed.response.keep_alive(request.keep_alive());
        routed.response.set(http::field::server, "tender-server");
        routed.response.prepare_payload();
        auto head = serializedHead(routed.response);
        std::array<net::const_buffer, 2> wire{net::buffer(head), net::buffer(routed.response.body())};
        auto [writeError, written] = co_await net::async_write(stream, wire, use);
        if (writeError || !routed.response.keep_alive())
            break;
    }
    beast::error_code ignored;
    stream.socket().shutdown(net::ip::tcp::socket::shutdown_send, ignored);
}

}
