#include "http/HttpSession.h"
#include "common/Log.h"
#include "http/Exchange.h"
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
#include <boost/url/parse.hpp>

namespace tender::server {

namespace net = boost::asio;
namespace beast = boost::beast;
using Clock = std::chrono::steady_clock;

namespace {

constexpr auto use = net::as_tuple(net::use_awaitable);

void logRequest(const Request& request, std::string_view route, unsigned status, Clock::time_point started)
{
    auto micros = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - started).count();
    logLine(std::string(request.method_string()) + " " + std::string(route) + " " + std::to_string(status) + " "
        + std::to_string(micros) + "us");
}

Response busy()
{
    return unavailableResponse("busy, try again shortly");
}

}

net::awaitable<void> serveConnection(net::ip::tcp::socket socket, const Router& router, StreamDoor& door,
    ConnectionSettings settings)
{
    beast::tcp_stream stream(std::move(socket));
    beast::flat_buffer buffer;
    for (;;) {
        RequestParser parser;
        limitRequest(parser);
        stream.expires_after(settings.requestTimeout);
        auto [readError, readBytes] = co_await http::async_read(stream, buffer, parser, use);
        auto started = Clock::now();
        if (readError) {
            if (auto refusal = refusalOf(readError))
                co_await http::async_write(stream, *refusal, use);
            break;
        }
        Request request = parser.release();

        if (opensStream(request, door)) {
            std::optional<std::variant<Response, Audience>> answer;
            if (settings.storeWork)
                answer = co_await settings.storeWork->run([&] { return door.admit(request); });
            else
                answer = door.admit(request);
            auto admitted = answer ? std::move(*answer) : busy();
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
        prepareAnswer(routed.response, request);
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
