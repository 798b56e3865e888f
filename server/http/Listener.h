#pragma once
#include "http/HttpSession.h"
#include <boost/asio/io_context.hpp>

namespace tender::server {

// How many connections a listener keeps: `seats` caps them in all and per client (trusted proxies
// count only in all); when the total is reached, the oldest connection waiting for a request makes
// room, and only when none waits is a new one refused.
struct ConnectionLimits {
    Seats& seats;
    IdleConnections& idle;
    const ClientAddresses& clients;
    Counter& refused;
};

// Accepts connections and gives each its own strand (none when one thread serves all); no thread
// per connection.
class Listener {
public:
    Listener(boost::asio::io_context& io, const boost::asio::ip::tcp::endpoint& endpoint, const Router& router,
        StreamDoor* door, ConnectionSettings settings, ConnectionLimits limits);
    boost::asio::ip::tcp::endpoint localEndpoint() const;
    void start();
    void stop();

private:
    boost::asio::awaitable<void> acceptLoop();
    boost::asio::any_io_executor executorForConnection();
    std::optional<ConnectionHold> admit(boost::asio::ip::tcp::socket& socket);

    boost::asio::io_context& io_;
    boost::asio::ip::tcp::acceptor acceptor_;
    const Router& router_;
    StreamDoor* door_;
    ConnectionSettings settings_;
    ConnectionLimits limits_;
};

}
