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
#include <boost/asio/steady_timer.hpp>
#include <boost/asio/write.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/url/parse.hpp>
#include <cerrno>
#include <sys/socket.h>

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

// The peer closed its side or reset: nobody is left to read the answer.
bool peerLeft(int fd)
{
    char byte;
    auto got = ::recv(fd, &byte, 1, MSG_PEEK | MSG_DONTWAIT);
    return got == 0 || (got < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR);
}

std::string clientOf(const Request& request, const net::ip::address& peer, const std::string& peerKey,
    const ClientAddresses* clients)
{
    if (!clients || !clients->trusted(peer))
        return peerKey;
    std::string forwarded;
    auto [first, last] = request.equal_range("X-Forwarded-For");
    for (auto field = first; field != last; ++field)
        forwarded.append(forwarded.empty() ? "" : ",").append(field->value());
    return clients->of(peer, forwarded);
}

// Slow work waits its turn on a bounded lane, a few places per client; past that it is refused at
// once. Work whose client has left by its turn is dropped.
net::awaitable<Routed> handleAway(const Router& router, const Request& request, Router::Found found,
    const std::string& client, int fd, const ConnectionSettings& settings)
{
    std::optional<Seat> seat;
    if (settings.slowLane && !(seat = settings.slowLane->take(client))) {
        if (settings.slowRefused)
            settings.slowRefused->add();
        co_return router.busy(request, std::move(found), client);
    }
    co_return co_await net::co_spawn(settings.slowWork, [&]() -> net::awaitable<Routed> {
        if (peerLeft(fd)) {
            if (settings.abandoned)
                settings.abandoned->add();
            co_return Routed{errorResponse(static_cast<http::status>(499), "the client left"), "-"};
        }
        co_return router.handle(request, std::move(found), client);
    }, net::use_awaitable);
}

// A client that asks again at once after a refusal waits longer each time before its connection is
// read again: a flood then costs the server next to nothing, and a person retrying by hand never
// notices.
bool refusal(const Response& response)
{
    return response.result() == http::status::too_many_requests || response.count(http::field::retry_after);
}

std::chrono::milliseconds pauseAfter(int refusalsInARow)
{
    constexpr std::chrono::milliseconds first{100}, longest{2000};
    return refusalsInARow == 0 ? std::chrono::milliseconds(0) : std::min(longest, first * (1 << std::min(refusalsInARow - 1, 5)));
}

net::awaitable<std::variant<Response, Admission>> admit(StreamDoor& door, const Request& request,
    const ConnectionSettings& settings)
{
    if (!settings.storeWork)
        co_return door.admit(request);
    auto answer = co_await settings.storeWork->run([&] { return door.admit(request); });
    if (!answer)
        co_return busy();
    co_return std::move(*answer);
}

}

net::awaitable<void> serveConnection(net::ip::tcp::socket socket, const Router& router, StreamDoor* door,
    const ConnectionSettings& settings, ConnectionHold hold)
{
    boost::system::error_code peerError;
    const auto peer = socket.remote_endpoint(peerError).address();
    const auto peerKey = ClientAddresses::key(peer);
    beast::tcp_stream stream(std::move(socket));
    beast::flat_buffer buffer;
    auto& watch = hold.watch;
    if (watch)
        watch->stream = &stream;
    int refusalsInARow = 0;
    net::steady_timer pause(stream.get_executor());
    for (;;) {
        RequestParser parser;
        limitRequest(parser);
        if (watch) {
            watch->idle = true;
            if (watch->evicted)
                break;
        }
        if (refusalsInARow > 0) {
            pause.expires_after(pauseAfter(refusalsInARow));
            co_await pause.async_wait(use);
        }
        stream.expires_after(settings.requestTimeout);
        auto [readError, readBytes] = co_await http::async_read(stream, buffer, parser, use);
        if (watch)
            watch->idle = false;
        auto started = Clock::now();
        if (readError) {
            if (auto refusal = refusalOf(readError))
                co_await http::async_write(stream, *refusal, use);
            break;
        }
        Request request = parser.release();
        auto client = clientOf(request, peer, peerKey, settings.clients);

        if (door && opensStream(request, *door)) {
            auto admitted = co_await admit(*door, request, settings);
            if (auto* admission = std::get_if<Admission>(&admitted)) {
                logRequest(request, pathOf(request), 101, started);
                if (watch)
                    watch->stream = nullptr;
                if (hold.seat)
                    admission->seats.push_back(std::move(*hold.seat));
                auto session = std::make_shared<WsSession>(std::move(stream), std::move(*admission), *door,
                    settings.streamSilence, settings.signalsDelivered);
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
            routed = co_await handleAway(router, request, std::move(found), client, stream.socket().native_handle(),
                settings);
        } else if (settings.storeWork && !found.instant()) {
            auto answer = co_await settings.storeWork->run(
                [&] { return router.handle(request, std::move(found), client); });
            routed = answer ? std::move(*answer) : Routed{busy(), "-"};
        } else {
            routed = router.handle(request, std::move(found), client);
        }
        logRequest(request, routed.route, routed.response.result_int(), started);
        if (settings.requestMetrics)
            settings.requestMetrics->observe(routed.route, std::chrono::duration<double>(Clock::now() - started).count());
        prepareAnswer(routed.response, request);
        auto head = serializedHead(routed.response);
        std::array<net::const_buffer, 2> wire{net::buffer(head), net::buffer(routed.response.body())};
        auto [writeError, written] = co_await net::async_write(stream, wire, use);
        if (writeError || !routed.response.keep_alive())
            break;
        refusalsInARow = refusal(routed.response) ? refusalsInARow + 1 : 0;
    }
    if (watch)
        watch->stream = nullptr;
    beast::error_code ignored;
    stream.socket().shutdown(net::ip::tcp::socket::shutdown_send, ignored);
}

}
