#pragma once
// The workings of BasicWsSession, for the files that instantiate it.
#include "http/WsSession.h"
#include <array>
#include <boost/asio/dispatch.hpp>
#include <boost/asio/post.hpp>
#include <boost/beast/websocket.hpp>

namespace tender::server {

namespace net = boost::asio;
namespace beast = boost::beast;
namespace websocket = beast::websocket;

template <class Transport>
BasicWsSession<Transport>::BasicWsSession(Transport&& stream, Admission admission, StreamDoor& door,
    std::chrono::seconds silence, Counter* signalsDelivered)
    : ws_(std::move(stream))
    , silenceTimer_(ws_.get_executor())
    , audience_(std::move(admission.audience))
    , seats_(std::move(admission.seats))
    , door_(door)
    , signalsDelivered_(signalsDelivered)
    , silence_(silence)
{
}

// Plain handlers rather than a coroutine: an idle stream then holds one pending read and one
// timer, not coroutine frames as well.
template <class Transport>
void BasicWsSession<Transport>::start(Request request)
{
    if constexpr (std::is_same_v<Transport, beast::tcp_stream>) {
        beast::get_lowest_layer(ws_).expires_never();
        // Frames are tiny: a fixed small send buffer holds a few hundred, and keeps a peer that stops
        // reading from pinning megabytes of kernel memory before the frame queue notices it.
        beast::error_code ignored;
        beast::get_lowest_layer(ws_).socket().set_option(net::socket_base::send_buffer_size(streamSendBuffer), ignored);
    }
    websocket::stream_base::timeout timeouts{std::chrono::seconds(10), websocket::stream_base::none(), false};
    ws_.set_option(timeouts);
    ws_.read_message_max(4096);
    ws_.set_option(websocket::stream_base::decorator(
        [](websocket::response_type& response) { response.set(http::field::server, "tender-server"); }));
    ws_.control_callback([this](websocket::frame_type, std::string_view) { lastHeard_ = std::chrono::steady_clock::now(); });

    auto held = std::make_unique<Request>(std::move(request));
    auto& upgrade = *held;
    ws_.async_accept(upgrade, [self = this->shared_from_this(), held = std::move(held)](beast::error_code error) {
        if (!error)
            self->opened();
    });
}

template <class Transport>
void BasicWsSession<Transport>::opened()
{
    ws_.text(true);
    lastHeard_ = std::chrono::steady_clock::now();
    watchSilence();
    door_.opened(this->shared_from_this()); // says "ready" once the stream can be reached
    readNext();
}

// Clients send nothing but pings, which Beast answers itself; anything else is read in small
// pieces and dropped, so an idle stream keeps no read buffer of its own.
template <class Transport>
void BasicWsSession<Transport>::readNext()
{
    ws_.async_read_some(net::buffer(sink_), [self = this->shared_from_this()](beast::error_code error, std::size_t) {
        if (error) {
            self->silenceTimer_.cancel();
            self->door_.closed(*self);
            return;
        }
        self->lastHeard_ = std::chrono::steady_clock::now();
        self->readNext();
    });
}

// Most sends come from a request handled on the same thread: then the frame is queued at once,
// without a trip through the event loop.
template <class Transport>
void BasicWsSession<Transport>::send(Frame frame)
{
    net::dispatch(ws_.get_executor(), [self = this->shared_from_this(), frame = std::move(frame)]() mutable {
        self->enqueue(std::move(frame));
    });
}

template <class Transport>
void BasicWsSession<Transport>::close(CloseReason reason)
{
    net::post(ws_.get_executor(), [self = this->shared_from_this(), reason] {
        if (self->closing_)
            return;
        self->closing_ = reason;
        self->closeWhenWritten();
    });
}

template <class Transport>
void BasicWsSession<Transport>::enqueue(Frame frame)
{
    if (closing_)
        return;
    auto now = std::chrono::steady_clock::now();
    if (queue_.size() >= maxQueuedFrames || (!queue_.empty() && now - queue_.front().since >= maxFrameWait)) {
        drop();
        return;
    }
    queue_.push_back({std::move(frame), now});
    if (!writing_)
        writeNext();
}

template <class Transport>
void BasicWsSession<Transport>::writeNext()
{
    writing_ = true;
    ws_.async_write(net::buffer(*queue_.front().frame), [self = this->shared_from_this()](beast::error_code error, std::size_t) {
        self->writing_ = false;
        if (error)
            return self->drop();
        if (self->signalsDelivered_ && self->queue_.front().frame == frames::signal())
            self->signalsDelivered_->add();
        self->queue_.erase(self->queue_.begin());
        if (self->queue_.empty())
            self->queue_ = {}; // most streams hear a signal now and then: hold no queue between
        else if (!self->closing_)
            return self->writeNext();
        self->closeWhenWritten();
    });
}

template <class Transport>
void BasicWsSession<Transport>::closeWhenWritten()
{
    if (!closing_ || writing_ || closeSent_)
        return;
    closeSent_ = true;
    websocket::close_reason reason(*closing_ == CloseReason::revoked ? websocket::close_code::policy_error
                                                                      : websocket::close_code::going_away);
    ws_.async_close(reason, [self = this->shared_from_this()](beast::error_code) {});
}

template <class Transport>
void BasicWsSession<Transport>::watchSilence()
{
    silenceTimer_.expires_at(lastHeard_ + silence_);
    silenceTimer_.async_wait([self = this->shared_from_this()](beast::error_code error) {
        if (error)
            return;
        if (std::chrono::steady_clock::now() - self->lastHeard_ >= self->silence_)
            return self->drop();
        self->watchSilence();
    });
}

template <class Transport>
void BasicWsSession<Transport>::drop()
{
    queue_.clear();
    if constexpr (std::is_same_v<Transport, beast::tcp_stream>) {
        beast::error_code ignored;
        beast::get_lowest_layer(ws_).socket().shutdown(net::ip::tcp::socket::shutdown_both, ignored);
    }
    beast::get_lowest_layer(ws_).close();
}

}
