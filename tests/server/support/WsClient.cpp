#include "support/WsClient.h"
#include <boost/asio.hpp>
#include <boost/beast.hpp>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace tender::testing {

namespace net = boost::asio;
namespace beast = boost::beast;
namespace websocket = beast::websocket;

struct WsClient::State {
    net::io_context io;
    websocket::stream<beast::tcp_stream> ws{io};
    std::thread reader;
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<std::string> frames;
    bool closed = false;
    int pongs = 0;

    net::awaitable<void> readLoop()
    {
        beast::flat_buffer buffer;
        for (;;) {
            auto [error, bytes] = co_await ws.async_read(buffer, net::as_tuple(net::use_awaitable));
            std::lock_guard lock(mutex);
            if (error) {
                closed = true;
                changed.notify_all();
                co_return;
            }
            frames.push_back(beast::buffers_to_string(buffer.data()));
            buffer.consume(buffer.size());
            changed.notify_all();
        }
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
        std::lock_guard lock(s->mutex);
        if (kind == websocket::frame_type::pong)
            ++s->pongs;
    });
    state->io.restart();
    net::co_spawn(state->io, state->readLoop(), net::detached);
    state->reader = std::thread([s = state.get()] { s->io.run(); });
    return {std::unique_ptr<WsClient>(new WsClient(std::move(state))), 101};
}

WsClient::WsClient(std::unique_ptr<State> state)
    : state_(std::move(state))
{
}

WsClient::~WsClient()
{
    net::post(state_->io, [s = state_.get()] { beast::get_lowest_layer(s->ws).close(); });
    state_->reader.join();
}

std::optional<std::string> WsClient::next(milliseconds wait)
{
    std::unique_lock lock(state_->mutex);
    state_->changed.wait_for(lock, wait, [&] { return !state_->frames.empty() || state_->closed; });
    if (state_->frames.empty())
        return std::nullopt;
    auto frame = std::move(state_->frames.front());
    state_->frames.pop_front();
    return frame;
}

bool WsClient::closedWithin(milliseconds wait)
{
    std::unique_lock lock(state_->mutex);
    return state_->changed.wait_for(lock, wait, [&] { return state_->closed; });
}

int WsClient::pongs()
{
    std::lock_guard lock(state_->mutex);
    return state_->pongs;
}

void WsClient::ping()
{
    net::post(state_->io, [s = state_.get()] { s->ws.async_ping({}, [](beast::error_code) {}); });
}

}
