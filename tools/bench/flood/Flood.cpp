#include "flood/Flood.h"
#include "flood/TimedCall.h"
#include <boost/asio.hpp>
#include <boost/beast.hpp>
#include <sys/resource.h>
#include <unistd.h>

namespace tender::bench {

namespace net = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;

Flood::Flood(unsigned short port, std::string source, int connections, const std::string& identityPath)
    : port_(port)
    , source_(std::move(source))
    , target_(identityPath)
{
    for (int i = 0; i < connections; ++i)
        net::co_spawn(io_, client(i), net::detached);
    // An attacker sits on another machine: here it must not take the server's CPU away, so it runs
    // at a lower priority than the server and the probes.
    thread_ = std::thread([this] {
        ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), 10);
        io_.run();
    });
}

Flood::~Flood()
{
    stop();
}

void Flood::stop()
{
    stopping_ = true;
    io_.stop();
    if (thread_.joinable())
        thread_.join();
}

net::awaitable<void> Flood::client(int index)
{
    constexpr auto use = net::as_tuple(net::use_awaitable);
    long attempt = 0;
    while (!stopping_) {
        beast::tcp_stream stream(io_);
        beast::error_code ignored;
        stream.socket().open(net::ip::tcp::v4(), ignored);
        stream.socket().bind({net::ip::make_address(source_), 0}, ignored);
        auto [connectError] = co_await stream.async_connect({net::ip::make_address("127.0.0.1"), port_}, use);
        if (connectError) {
            ++counts_.refusedAtOnce;
            net::steady_timer pause(io_, std::chrono::milliseconds(50));
            co_await pause.async_wait(use);
            continue;
        }
        beast::flat_buffer buffer;
        while (!stopping_) {
            http::request<http::string_body> request{http::verb::post, target_, 11};
            request.set(http::field::host, "127.0.0.1");
            request.set(http::field::content_type, "application/json");
            ++attempt;
            request.body() = passwordBody("nobody" + std::to_string(index) + "." + std::to_string(attempt) + "@example.org",
                "guess-" + std::to_string(attempt));
            request.prepare_payload();
            auto [writeError, written] = co_await http::async_write(stream, request, use);
            http::response<http::string_body> response;
            auto [readError, read] = co_await http::async_read(stream, buffer, response, use);
            if (writeError || readError) {
                ++counts_.connectionsLost;
                break;
            }
            const auto& body = response.body();
            if (body.find("TOO_MANY_ATTEMPTS_TRY_LATER") != std::string::npos || response.result_int() == 429
                || response.result_int() == 503)
                ++counts_.refusedAtOnce;
            else if (body.find("INVALID_LOGIN_CREDENTIALS") != std::string::npos)
                ++counts_.checked;
            else
                ++counts_.other;
            if (!response.keep_alive())
                break;
        }
    }
}

}
