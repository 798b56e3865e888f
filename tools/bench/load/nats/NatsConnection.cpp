#include "load/nats/NatsConnection.h"
#include "load/Awaitable.h"
#include <boost/asio/as_tuple.hpp>
#include <boost/asio/buffer.hpp>
#include <boost/asio/use_awaitable.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/websocket.hpp>

namespace tender::bench {

namespace net = boost::asio;
namespace beast = boost::beast;
namespace websocket = beast::websocket;

namespace {

std::string connectLine(bool verbose)
{
    return std::string(R"(CONNECT {"verbose":)") + (verbose ? "true" : "false")
        + R"(,"pedantic":false,"tls_required":false,"name":"tender-load","lang":"cpp","version":"1",)"
        + R"("protocol":1,"echo":false,"headers":false,"no_responders":false})" + "\r\n";
}

}

NatsConnection::NatsConnection(net::any_io_executor executor, net::ip::tcp::endpoint server, unsigned index,
    bool verbose)
    : ws_(executor)
    , server_(server)
    , index_(index)
    , writerFree_(executor)
    , answered_(executor)
    , verbose_(verbose)
{
}

net::awaitable<bool> NatsConnection::open(std::string greeting)
{
    auto& tcp = beast::get_lowest_layer(ws_);
    // Several loopback source addresses, as the tender streams use.
    beast::error_code bindError;
    tcp.socket().open(net::ip::tcp::v4(), bindError);
    net::ip::address_v4::bytes_type source{127, 0, 0, static_cast<unsigned char>(2 + index_ % 8)};
    tcp.socket().bind({net::ip::address_v4(source), 0}, bindError);
    tcp.expires_after(std::chrono::seconds(10));
    auto [connectError] = co_await tcp.async_connect(server_, use);
    if (connectError)
        co_return false;
    tcp.expires_never();
    tcp.socket().set_option(net::ip::tcp::no_delay(true));
    ws_.set_option(websocket::stream_base::timeout{std::chrono::seconds(10), websocket::stream_base::none(), false});
    ws_.write_buffer_bytes(256);
    auto [handshakeError] = co_await ws_.async_handshake("127.0.0.1", "/", use);
    if (handshakeError)
        co_return false;
    alive_ = true;
    std::vector<NatsOp> ops;
    bool read = co_await readOps(ops);
    if (!read || ops.empty() || ops.front().kind != NatsOp::Kind::info) {
        close();
        co_return false;
    }
    co_return co_await write(connectLine(verbose_) + greeting);
}

net::awaitable<bool> NatsConnection::write(std::string text)
{
    while (writing_ && alive_)
        co_await writerFree_.async_wait(use);
    if (!alive_)
        co_return false;
    writing_ = true;
    writerFree_.expires_at(std::chrono::steady_clock::time_point::max());
    auto [error, written] = co_await ws_.async_write(net::buffer(text), use);
    writing_ = false;
    writerFree_.cancel();
    if (error)
        close();
    co_return !error;
}

net::awaitable<bool> NatsConnection::readOps(std::vector<NatsOp>& ops)
{
    beast::flat_buffer buffer;
    auto [error, bytes] = co_await ws_.async_read(buffer, use);
    if (error)
        co_return false;
    co_return reader_.feed({static_cast<const char*>(buffer.data().data()), buffer.size()}, ops);
}

net::awaitable<void> NatsConnection::readAll(std::function<void(const NatsOp&)> onOp)
{
    std::vector<NatsOp> ops;
    while (alive_) {
        ops.clear();
        bool read = co_await readOps(ops);
        if (!read)
            break;
        for (const auto& op : ops) {
            if (op.kind == NatsOp::Kind::ok || op.kind == NatsOp::Kind::err) {
                ++answers_;
                errors_ += op.kind == NatsOp::Kind::err;
                answered_.cancel();
            }
            if (op.kind != NatsOp::Kind::ping) {
                onOp(op);
                continue;
            }
            bool answered = co_await write("PONG\r\n");
            if (!answered)
                break;
        }
    }
    close();
}

net::awaitable<bool> NatsConnection::waitForAnswers(std::uint64_t count)
{
    while (answers_ < count && alive_) {
        answered_.expires_at(std::chrono::steady_clock::time_point::max());
        co_await answered_.async_wait(use);
    }
    co_return answers_ >= count;
}

void NatsConnection::close()
{
    alive_ = false;
    writerFree_.cancel();
    answered_.cancel();
    beast::error_code ignored;
    beast::get_lowest_layer(ws_).socket().close(ignored);
}

}
