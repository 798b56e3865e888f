#include "http/Listener.h"
#include "common/Log.h"
#include <boost/asio/as_tuple.hpp>
#include <boost/asio/co_spawn.hpp>
#include <boost/asio/detached.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/strand.hpp>
#include <boost/asio/use_awaitable.hpp>

namespace tender::server {

namespace net = boost::asio;
using net::ip::tcp;

namespace {

std::string cannedRefusal(const char* statusLine, const char* retryAfter, const std::string& body)
{
    return std::string("HTTP/1.1 ") + statusLine + "\r\nContent-Type: application/json\r\nContent-Length: "
        + std::to_string(body.size()) + "\r\nRetry-After: " + retryAfter + "\r\nConnection: close\r\n\r\n" + body;
}

// Written at once and closed: a refused connection holds nothing while a slow peer reads.
void refuse(tcp::socket& socket, bool perClient)
{
    static const std::string tooMany =
        cannedRefusal("429 Too Many Requests", "5", R"({"error":"too many connections from this address"})");
    static const std::string full =
        cannedRefusal("503 Service Unavailable", "1", R"({"error":"the server is full, try again"})");
    boost::system::error_code ignored;
    socket.non_blocking(true, ignored);
    socket.write_some(net::buffer(perClient ? tooMany : full), ignored);
    socket.shutdown(tcp::socket::shutdown_send, ignored);
    socket.close(ignored);
}

}

Listener::Listener(net::io_context& io, const tcp::endpoint& endpoint, const Router& router, StreamDoor* door,
    ConnectionSettings settings, ConnectionLimits limits)
    : io_(io)
    , acceptor_(net::make_strand(io))
    , router_(router)
    , door_(door)
    , settings_(settings)
    , limits_(limits)
{
    acceptor_.open(endpoint.protocol());
    acceptor_.set_option(net::socket_base::reuse_address(true));
    acceptor_.bind(endpoint);
    acceptor_.listen(net::socket_base::max_listen_connections);
}

tcp::endpoint Listener::localEndpoint() const
{
    return acceptor_.local_endpoint();
}

void Listener::start()
{
    net::co_spawn(acceptor_.get_executor(), acceptLoop(), net::detached);
}

void Listener::stop()
{
    net::post(acceptor_.get_executor(), [this] {
        boost::system::error_code ignored;
        acceptor_.close(ignored);
    });
}

net::any_io_executor Listener::executorForConnection()
{
    if (settings_.oneThread)
        return io_.get_executor();
    return net::make_strand(io_);
}

std::optional<ConnectionHold> Listener::admit(tcp::socket& socket)
{
    boost::system::error_code error;
    auto peer = socket.remote_endpoint(error).address();
    auto key = limits_.clients.trusted(peer) ? std::string() : ClientAddresses::key(peer);
    auto seat = limits_.seats.take(key);
    if (!seat && !limits_.seats.keyFull(key) && limits_.idle.closeOldest())
        seat = limits_.seats.take(key, true);
    if (!seat) {
        limits_.refused.add();
        refuse(socket, limits_.seats.keyFull(key));
        return std::nullopt;
    }
    ConnectionHold hold;
    hold.watch = std::make_shared<IdleWatch>(socket.get_executor());
    hold.entry.emplace(limits_.idle.add(hold.watch));
    hold.seat = std::move(seat);
    return hold;
}

net::awaitable<void> Listener::acceptLoop()
{
    while (acceptor_.is_open()) {
        auto [error, socket] = co_await acceptor_.async_accept(executorForConnection(), net::as_tuple(net::use_awaitable));
        if (error == net::error::operation_aborted || !acceptor_.is_open())
            break;
        if (error) {
            // Out of descriptors and the like: wait a moment rather than spin.
            logLine("accept failed: " + error.message());
            net::steady_timer pause(acceptor_.get_executor(), std::chrono::milliseconds(100));
            co_await pause.async_wait(net::as_tuple(net::use_awaitable));
            continue;
        }
        auto hold = admit(socket);
        if (!hold)
            continue;
        // Small frames go out at once instead of waiting for the peer's delayed acknowledgement.
        boost::system::error_code ignored;
        socket.set_option(tcp::no_delay(true), ignored);
        auto executor = socket.get_executor();
        net::co_spawn(executor, serveConnection(std::move(socket), router_, door_, settings_, std::move(*hold)),
            net::detached);
    }
}

}
