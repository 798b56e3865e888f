#include "load/StreamClient.h"
#include "load/Awaitable.h"
#include <algorithm>
#include <boost/asio/as_tuple.hpp>
#include <boost/asio/use_awaitable.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/http/field.hpp>
#include <boost/beast/websocket.hpp>

namespace tender::bench {

namespace net = boost::asio;
namespace beast = boost::beast;
namespace websocket = beast::websocket;

StreamClient::StreamClient(net::any_io_executor executor, net::ip::tcp::endpoint server, std::string token,
    unsigned index, Deliveries& deliveries, const StreamEvents& events)
    : executor_(executor)
    , server_(server)
    , token_(std::move(token))
    , index_(index)
    , deliveries_(deliveries)
    , events_(events)
    , backoff_(executor)
    , readGate_(executor)
{
}

void StreamClient::holdReading()
{
    holding_ = true;
}

void StreamClient::resumeReading()
{
    holding_ = false;
    readGate_.cancel();
}

net::awaitable<void> StreamClient::waitWhileHeld()
{
    while (holding_ && online_ && !stopping_) {
        readGate_.expires_at(Clock::time_point::max());
        co_await readGate_.async_wait(use);
    }
}

net::awaitable<void> StreamClient::run()
{
    while (!stopping_) {
        co_await connectAndRead();
        if (stopping_)
            break;
        co_await backoff_.wait();
    }
}

net::awaitable<void> StreamClient::connectAndRead()
{
    ws_ = std::make_unique<Socket>(executor_);
    auto& tcp = beast::get_lowest_layer(*ws_);
    // Spread the streams over several loopback source addresses: one address has fewer
    // ephemeral ports than a storm of reconnections needs while the old sockets wind down.
    beast::error_code bindError;
    tcp.socket().open(net::ip::tcp::v4(), bindError);
    net::ip::address_v4::bytes_type source{127, 0, 0, static_cast<unsigned char>(2 + index_ % 8)};
    tcp.socket().bind({net::ip::address_v4(source), 0}, bindError);
    if (holding_) // the window closes after a few frames, so the server's side fills up
        tcp.socket().set_option(net::socket_base::receive_buffer_size(2048), bindError);
    tcp.expires_after(std::chrono::seconds(10));
    auto [connectError] = co_await tcp.async_connect(server_, use);
    if (connectError || stopping_)
        co_return;
    tcp.expires_never();
    ws_->set_option(websocket::stream_base::timeout{std::chrono::seconds(10), websocket::stream_base::none(), false});
    ws_->set_option(websocket::stream_base::decorator([this](websocket::request_type& request) {
        request.set(beast::http::field::authorization, "Bearer " + token_);
    }));
    ws_->write_buffer_bytes(256);
    websocket::response_type upgrade;
    auto [handshakeError] = co_await ws_->async_handshake(upgrade, "127.0.0.1", "/v1/stream", use);
    if (handshakeError || stopping_)
        co_return;
    node_ = std::string(upgrade["X-Served-By"]);
    beast::flat_buffer buffer;
    for (;;) {
        auto [readError, bytes] = co_await ws_->async_read(buffer, use);
        if (readError)
            break;
        onMessage({static_cast<const char*>(buffer.data().data()), buffer.size()});
        buffer.consume(buffer.size());
        co_await waitWhileHeld();
    }
    onLost();
}

void StreamClient::onLost()
{
    if (!online_)
        return;
    online_ = false;
    if (!firstConnectionSeconds_)
        firstConnectionSeconds_ = std::chrono::duration<double>(Clock::now() - readyAt_).count();
    deliveries_.streamLost(index_);
    events_.lost(index_);
}

void StreamClient::onMessage(std::string_view text)
{
    if (text.find("\"signal\"") != std::string_view::npos) {
        deliveries_.arrived(index_, Clock::now());
    } else if (text.find("\"ready\"") != std::string_view::npos && !online_) {
        online_ = true;
        readyAt_ = Clock::now();
        backoff_.reset();
        events_.ready(index_);
    }
}

void StreamClient::ping()
{
    if (!online_ || pinging_ || silent_)
        return;
    pinging_ = true;
    ws_->async_ping({}, [this](beast::error_code) { pinging_ = false; });
}

void StreamClient::stop()
{
    stopping_ = true;
    backoff_.cancel();
    readGate_.cancel();
    if (ws_) {
        beast::error_code ignored;
        beast::get_lowest_layer(*ws_).socket().close(ignored);
    }
}

}
