#pragma once
#include "http/HttpSession.h"
#include <boost/asio/io_context.hpp>

namespace tender::server {

// Accepts connections and gives each its own strand (none when one thread serves all); no thread
// per connection.
class Listener {
public:
    Listener(boost::asio::io_context& io, const boost::asio::ip::tcp::endpoint& endpoint, const Router& router,
        StreamDoor& door, ConnectionSettings settings);
    boost::asio::ip::tcp::endpoint localEndpoint() const;
    void start();
    void stop();

private:
    boost::asio::awaitable<void> acceptLoop();
    boost::asio::any_io_executor executorForConnection();

    boost::asio::io_context& io_;
    boost::asio::ip::tcp::acceptor acceptor_;
    const Router& router_;
    StreamDoor& door_;
    ConnectionSettings settings_;
};

}
