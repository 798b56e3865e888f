#include "load/HttpSignalLink.h"
#include "load/Awaitable.h"
#include <boost/asio/as_tuple.hpp>
#include <boost/asio/use_awaitable.hpp>
#include <boost/beast/http.hpp>

namespace tender::bench {

namespace net = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;

HttpSignalLink::HttpSignalLink(net::any_io_executor executor, net::ip::tcp::endpoint server,
    const Population& population, Route route)
    : server_(server)
    , population_(population)
    , route_(std::move(route))
    , stream_(executor)
{
}

net::awaitable<bool> HttpSignalLink::connect()
{
    stream_.expires_after(std::chrono::seconds(5));
    auto [error] = co_await stream_.async_connect(server_, use);
    connected_ = !error;
    if (connected_)
        stream_.socket().set_option(net::ip::tcp::no_delay(true));
    co_return connected_;
}

void HttpSignalLink::disconnect()
{
    beast::error_code ignored;
    stream_.socket().close(ignored);
    connected_ = false;
    buffer_.clear();
}

net::awaitable<SignalLink::Outcome> HttpSignalLink::send(const Signal& signal)
{
    // The server is down: what is due now fails, as it would for the app.
    if (!connected_) {
        bool connected = co_await connect();
        if (!connected)
            co_return Outcome::failed;
    }
    http::request<http::string_body> request{http::verb::post, "/v1/events", 11};
    request.set(http::field::host, "127.0.0.1");
    request.set(http::field::authorization, "Bearer " + population_.tokens[signal.sender]);
    request.set(http::field::content_type, "application/json");
    if (route_)
        request.set("X-Tender-Node", route_(signal.entry->target));
    request.body() = R"({"type":"signal","to":{"contact":")" + signal.entry->contactId + "\"}}";
    request.prepare_payload();
    stream_.expires_after(std::chrono::seconds(10));
    auto [writeError, written] = co_await http::async_write(stream_, request, use);
    http::response<http::string_body> response;
    beast::error_code readError;
    if (!writeError) // no co_await inside a conditional expression: g++ 12 miscompiles it
        std::tie(readError, std::ignore) = co_await http::async_read(stream_, buffer_, response, use);
    if (writeError || readError) {
        disconnect();
        co_return Outcome::failed;
    }
    co_return response.result() == http::status::accepted ? Outcome::accepted : Outcome::refused;
}

}
