#include "http/WsSession.h"
#include <boost/asio/as_tuple.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/use_awaitable.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/websocket.hpp>

namespace tender::server {

namespace net = boost::asio;
namespace beast = boost::beast;
namespace websocket = beast::websocket;

WsSession::WsSession(beast::tcp_stream&& stream, Audience audience, StreamDoor& door, std::chrono::seconds silence)
    : ws_(std::move(stream))
    , silenceTimer_(ws_.get_executor())
    , audience_(std::move(audience))
    , door_(door)
    , silence_(silence)
{
}

net::awaitable<void> WsSession::run(std::shared_ptr<WsSession> self, Request request)
{
    co_await self->serve(std::move(request));
}

net::awaitable<void> WsSession::serve(Request request)
{
    beast::get_lowest_layer(ws_).expires_never();
    websocket::stream_base::timeout timeouts{std::chrono::seconds(10), websocket::stream_base::none(), false};
    ws_.set_option(timeouts);
    ws_.read_message_max(4096);
    ws_.write_buffer_bytes(512);
    ws_.set_option(websocket::stream_base::decorator(
        [](websocket::response_type& response) { response.set(http::field::server, "tender-server"); }));
    ws_.control_callback([this](websocket::frame_type, std::string_view) { lastHeard_ = std::chrono::steady_clock::now(); });

    auto [acceptError] = co_await ws_.async_accept(request, net::as_tuple(net::use_awaitable));
    if (acceptError)
        co_return;
    request = {};
    ws_.text(true);
    lastHeard_ = std::chrono::steady_clock::now();
    watchSilence();
    enqueue(frames::ready());
    door_.opened(shared_from_this());

    beast::flat_buffer buffer;
    for (;;) {
        auto [error, bytes] = co_await ws_.async_read(buffer, net::as_tuple(net::use_awaitable));
        if (error)
            break;
        lastHeard_ = std::chrono::steady_clock::now();
        buffer.consume(buffer.size());
    }
    silenceTimer_.cancel();
    door_.closed(*this);
}

void WsSession::send(Frame frame)
{
    net::post(ws_.get_executor(), [self = shared_from_this(), frame = std::move(frame)]() mutable {
        self->enqueue(std::move(frame));
    });
}

void WsSession::close(CloseReason reason)
{
    net::post(ws_.get_executor(), [self = shared_from_this(), reason] {
        if (self->closing_)
            return;
        self->closing_ = reason;
        self->closeWhenWritten();
    });
}

void WsSession::enqueue(Frame frame)
{
    if (closing_)
        return;
    if (queue_.size() >= maxQueuedFrames) {
        drop();
        return;
    }
    queue_.push_back(std::move(frame));
    if (!writing_)
        writeNext();
}

void WsSession::writeNext()
{
    writing_ = true;
    ws_.async_write(net::buffer(*queue_.front()), [self = shared_from_this()](beast::error_code error, std::size_t) {
        self->writing_ = false;
        if (error)
            return self->drop();
        self->queue_.pop_front();
        if (!self->queue_.empty() && !self->closing_)
            return self->writeNext();
        self->closeWhenWritten();
    });
}

void WsSession::closeWhenWritten()
{
    if (!closing_ || writing_ || closeSent_)
        return;
    closeSent_ = true;
    websocket::close_reason reason(*closing_ == CloseReason::revoked ? websocket::close_code::policy_error
                                                                      : websocket::close_code::going_away);
    ws_.async_close(reason, [self = shared_from_this()](beast::error_code) {});
}

void WsSession::watchSilence()
{
    silenceTimer_.expires_at(lastHeard_ + silence_);
    silenceTimer_.async_wait([self = shared_from_this()](beast::error_code error) {
        if (error)
            return;
        if (std::chrono::steady_clock::now() - self->lastHeard_ >= self->silence_)
            return self->drop();
        self->watchSilence();
    });
}

void WsSession::drop()
{
    queue_.clear();
    beast::error_code ignored;
    beast::get_lowest_layer(ws_).socket().shutdown(net::ip::tcp::socket::shutdown_both, ignored);
    beast::get_lowest_layer(ws_).close();
}

}
