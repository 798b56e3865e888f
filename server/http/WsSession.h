#pragma once
#include "http/StreamDoor.h"
#include "ops/Metrics.h"
#include <boost/asio/steady_timer.hpp>
#include <boost/beast/core/tcp_stream.hpp>
#include <boost/beast/websocket/stream.hpp>
#include <array>
#include <chrono>
#include <vector>

namespace tender::server {

// One open stream over `Transport` (TCP in the service). Everything runs on the connection's strand; writes go one at a time
// through a bounded queue, and a peer that stops reading is dropped rather than buffered for.
// A burst from many senders at once may queue far more frames than the socket takes in one
// turn, so slowness is told by how long the oldest frame has waited, not by the count alone.
template <class Transport>
class BasicWsSession final : public Subscriber, public std::enable_shared_from_this<BasicWsSession<Transport>> {
public:
    static constexpr std::size_t maxQueuedFrames = 4096;
    static constexpr std::chrono::seconds maxFrameWait{10};
    static constexpr int streamSendBuffer = 16 * 1024;

    BasicWsSession(Transport&& stream, Admission admission, StreamDoor& door, std::chrono::seconds silence,
        Counter* signalsDelivered);

    // Completes the upgrade, then reads until the peer leaves, falls silent or the stream is closed.
    // The pending operations keep the session alive.
    void start(Request request);

    const Audience& audience() const override { return audience_; }
    void send(Frame frame) override;
    void close(CloseReason reason) override;

private:
    void opened();
    void readNext();
    void enqueue(Frame frame);
    void writeNext();
    void closeWhenWritten();
    void watchSilence();
    void drop();

    boost::beast::websocket::stream<Transport> ws_;
    boost::asio::steady_timer silenceTimer_;
    Audience audience_;
    std::vector<Seat> seats_;
    StreamDoor& door_;
    Counter* signalsDelivered_;
    std::chrono::seconds silence_;
    std::chrono::steady_clock::time_point lastHeard_;
    struct Queued {
        Frame frame;
        std::chrono::steady_clock::time_point since;
    };
    std::vector<Queued> queue_;
    std::array<char, 64> sink_;
    std::optional<CloseReason> closing_;
    bool writing_ = false;
    bool closeSent_ = false;
};

using WsSession = BasicWsSession<boost::beast::tcp_stream>;
extern template class BasicWsSession<boost::beast::tcp_stream>;

}
