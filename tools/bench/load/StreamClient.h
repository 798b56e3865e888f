#pragma once
#include "load/Backoff.h"
#include "load/Deliveries.h"
#include "load/Subscriber.h"
#include <boost/asio/awaitable.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/beast/core/tcp_stream.hpp>
#include <boost/beast/websocket/stream.hpp>
#include <memory>
#include <optional>
#include <string>

namespace tender::bench {

// One user's stream as the app keeps it: authenticated upgrade, pings, and after any failure a
// reconnection after 1, 2, 4 … 60 s (no jitter), back to 1 s once "ready" arrives.
class StreamClient : public Subscriber {
public:
    StreamClient(boost::asio::any_io_executor executor, boost::asio::ip::tcp::endpoint server, std::string token,
        unsigned index, Deliveries& deliveries, const StreamEvents& events);

    boost::asio::awaitable<void> run() override;
    void ping() override;
    void stop() override;
    bool online() const override { return online_; }
    const std::string& node() const override { return node_; }

    // A slow reader: a small receive buffer, and after "ready" nothing read until resumeReading().
    void holdReading();
    void resumeReading();
    // A stream that never pings.
    void keepSilent() { silent_ = true; }
    bool silent() const { return silent_; }
    // How long the first connection lasted after "ready", once it ended.
    std::optional<double> firstConnectionSeconds() const { return firstConnectionSeconds_; }

private:
    using Socket = boost::beast::websocket::stream<boost::beast::tcp_stream>;
    boost::asio::awaitable<void> connectAndRead();
    boost::asio::awaitable<void> waitWhileHeld();
    void onMessage(std::string_view text);
    void onLost();

    boost::asio::any_io_executor executor_;
    boost::asio::ip::tcp::endpoint server_;
    std::string token_;
    unsigned index_;
    Deliveries& deliveries_;
    const StreamEvents& events_;
    std::unique_ptr<Socket> ws_;
    Backoff backoff_;
    boost::asio::steady_timer readGate_;
    std::chrono::steady_clock::time_point readyAt_;
    std::optional<double> firstConnectionSeconds_;
    std::string node_;
    bool online_ = false;
    bool pinging_ = false;
    bool stopping_ = false;
    bool holding_ = false;
    bool silent_ = false;
};

}
