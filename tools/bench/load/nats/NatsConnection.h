#pragma once
#include "load/nats/NatsProtocolReader.h"
#include <boost/asio/awaitable.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/beast/core/tcp_stream.hpp>
#include <boost/beast/websocket/stream.hpp>
#include <functional>
#include <string>

namespace tender::bench {

// A NATS client connection over nats-server's WebSocket listener: INFO, CONNECT, then
// operations both ways. Writes are serialised; the server's PINGs are answered.
class NatsConnection {
public:
    // `verbose`: the server answers every operation with +OK or -ERR.
    NatsConnection(boost::asio::any_io_executor executor, boost::asio::ip::tcp::endpoint server, unsigned index,
        bool verbose = false);

    // Connects and sends CONNECT followed by `greeting` (SUB, PING …).
    boost::asio::awaitable<bool> open(std::string greeting);
    // Verbose: waits until `count` operations were answered; false if the connection ended first.
    boost::asio::awaitable<bool> waitForAnswers(std::uint64_t count);
    std::uint64_t errors() const { return errors_; }
    boost::asio::awaitable<bool> write(std::string text);
    // Reads until the connection ends, giving every operation but PING (answered here) to `onOp`.
    boost::asio::awaitable<void> readAll(std::function<void(const NatsOp&)> onOp);
    void close();
    bool alive() const { return alive_; }

private:
    using Socket = boost::beast::websocket::stream<boost::beast::tcp_stream>;
    boost::asio::awaitable<bool> readOps(std::vector<NatsOp>& ops);

    Socket ws_;
    boost::asio::ip::tcp::endpoint server_;
    unsigned index_;
    NatsProtocolReader reader_;
    boost::asio::steady_timer writerFree_;
    boost::asio::steady_timer answered_;
    std::uint64_t answers_ = 0;
    std::uint64_t errors_ = 0;
    bool verbose_;
    bool writing_ = false;
    bool alive_ = false;
};

}
