#pragma once
#include "load/Deliveries.h"
#include <boost/asio/awaitable.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/beast/core/tcp_stream.hpp>
#include <boost/beast/websocket/stream.hpp>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace tender::bench {

struct StreamEvents {
    std::function<void(unsigned)> ready;
    std::function<void(unsigned)> lost;
};

// One user's stream as the app keeps it: authenticated upgrade, pings, and after any failure a
// reconnection after 1, 2, 4 … 60 s (no jitter), back to 1 s once "ready" arrives.
class StreamClient {
public:
    StreamClient(boost::asio::any_io_executor executor, boost::asio::ip::tcp::endpoint server, std::string token,
        unsigned index, Deliveries& deliveries, const StreamEvents& events);

    boost::asio::awaitable<void> run();
    void ping();
    void stop();
    bool online() const { return online_; }

private:
    using Socket = boost::beast::websocket::stream<boost::beast::tcp_stream>;
    boost::asio::awaitable<void> connectAndRead();
    void onMessage(std::string_view text);

    boost::asio::any_io_executor executor_;
    boost::asio::ip::tcp::endpoint server_;
    std::string token_;
    unsigned index_;
    Deliveries& deliveries_;
    const StreamEvents& events_;
    std::unique_ptr<Socket> ws_;
    boost::asio::steady_timer backoffTimer_;
    double backoffSeconds_ = 1;
    bool online_ = false;
    bool pinging_ = false;
    bool stopping_ = false;
};

}
