#include "support/WsClient.h"
#include <boost/asio.hpp>
#include <boost/beast.hpp>
#include <deque>
#include <functional>

namespace tender::testing {

namespace net = boost::asio;
namespace beast = boost::beast;
namespace websocket = beast::websocket;

// The connection moves only while a test waits on it; what comes meanwhile waits in the socket.
struct WsClient::State {
    net::io_context io;
    websocket::stream<beast::tcp_stream> ws{io};
    beast::flat_buffer buffer;
    std::deque<std::string> frames;
    bool closed = false;
    int pongs = 0;

    void read()
    {
        ws.async_read(buffer, [this](beast::error_code error, std::size_t) {
            closed = closed || error;
            if (closed)
                return;
            frames.push_back(beast::buffers_to_string(buffer.data()));
            buffer.consume(buffer.size());
            read();
        });
    }

    // Moves the connection on until `done` holds or `wait` passes.
    bool runUntil(const std::function<bool()>& done, milliseconds wait)
    {
        auto deadline = std::chrono::steady_clock::now() + wait;
        io.restart();
        io.poll();
        while (!done() && io.run_one_until(deadline) > 0)
            continue;
        return done();
    }
};

WsClient::Opened WsClient::open(unsigned short port, const std::string& target, const std::string& bearer)
{
    auto state = std::make_unique<State>();
    websocket::response_type response;
    beast::error_code failure;
    net::co_spawn(state->io, [&]() -> net::awaitable<void> {
        auto& tcp = beast::get_lowest_layer(state->ws);
        tcp.expires_after(std::chrono::seconds(10));
        co_await tcp.async_connect({net::ip::make_address("127.0.0.1"), port}, net::use_awaitable);
        state->ws.set_option(websocket::stream_base::decorator([bearer](websocket::request_type& request) {
            if (!bearer.empty())
                request.set(beast::http::field::authorization, "Bearer " + bearer);
            request.set("X-Client", "linux/test");
        }));
        auto [error] = co_await state->ws.async_handshake(response, "127.0.0.1", target,
            net::as_tuple(net::use_awaitable));
        failure = error;
        tcp.expires_never();
    }, [&](std::exception_ptr e) { if (e) failure = net::error::connection_refused; });
    state->io.run();
    if (failure)
        return {nullptr, static_cast<int>(response.result_int())};
    state->ws.control_callback([s = state.get()](websocket::frame_type kind, beast::string_view) {
        s->pongs += kind == websocket::frame_type::pong;
    });
    state->read();
    return {std::unique_ptr<WsClient>(new WsClient(std::move(state))), 101};
}

WsClient::WsClient(std::unique_ptr<State> state)
    : state_(std::move(state))
{
}

WsClient::~WsClient() = default;

std::optional<std::string> WsClient::next(milliseconds wait)
{
    state_->runUntil([&] { return !state_->frames.empty() || state_->closed; }, wait);
    if (state_->frames.empty())
        return std::nullopt;
    auto frame = std::move(state_->frames.front());
    state_->frames.pop_front();
    return frame;
}

bool WsClient::closedWithin(milliseconds wait)
{
    return state_->runUntil([&] { return state_->closed; }, wait);
}

int WsClient::pongs()
{
    state_->runUntil([] { return false; }, milliseconds(0));
    return state_->pongs;
}

void WsClient::ping()
{
    state_->ws.async_ping({}, [](beast::error_code) {});
    state_->runUntil([] { return false; }, milliseconds(0));
}

}
