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

Listener::Listener(net::io_context& io, const tcp::endpoint& endpoint, const Router& router, StreamDoor& door,
    ConnectionSettings settings)
    : io_(io)
    , acceptor_(net::make_strand(io))
    , router_(router)
    , door_(door)
    , settings_(settings)
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
        // Small frames go out at once instead of waiting for the peer's delayed acknowledgement.
        boost::system::error_code ignored;
        socket.set_option(tcp::no_delay(true), ignored);
        auto executor = socket.get_executor();
        net::co_spawn(executor, serveConnection(std::move(socket), router_, door_, settings_), net::detached);
    }
}

}
