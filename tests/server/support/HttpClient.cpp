#include "support/HttpClient.h"
#include <boost/asio.hpp>
#include <boost/beast.hpp>
#include <boost/json.hpp>

namespace tender::testing {

namespace net = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;

boost::json::value HttpResult::json() const
{
    boost::system::error_code ec;
    auto value = boost::json::parse(body, ec);
    return ec ? boost::json::value() : value;
}

std::string HttpResult::error() const
{
    auto value = json();
    if (!value.is_object())
        return {};
    auto* error = value.as_object().if_contains("error");
    if (!error)
        return {};
    if (error->is_string())
        return std::string(error->as_string());
    if (error->is_object())
        if (auto* message = error->as_object().if_contains("message"); message && message->is_string())
            return std::string(message->as_string());
    return {};
}

namespace {

void connectFrom(beast::tcp_stream& stream, const std::string& source)
{
    stream.socket().open(net::ip::tcp::v4());
    stream.socket().bind({net::ip::make_address(source), 0});
}

}

std::string formBody(const std::map<std::string, std::string>& fields)
{
    std::string body;
    for (const auto& [name, value] : fields) {
        body += (body.empty() ? "" : "&") + name + "=";
        for (unsigned char c : value) {
            if (std::isalnum(c) || c == '-' || c == '_' || c == '.' || c == '~')
                body += static_cast<char>(c);
            else if (c == ' ')
                body += '+';
            else {
                static const char* hex = "0123456789ABCDEF";
                body += '%';
                body += hex[c >> 4];
                body += hex[c & 15];
            }
        }
    }
    return body;
}

HttpClient HttpClient::with(const std::string& name, const std::string& value) const
{
    auto copy = *this;
    copy.headers_[name] = value;
    return copy;
}

HttpResult HttpClient::postForm(const std::string& target, const std::map<std::string, std::string>& fields) const
{
    return send("POST", target, formBody(fields), "", "application/x-www-form-urlencoded");
}

void HttpClient::sendAndLeave(const std::string& method, const std::string& target, const std::string& body) const
{
    net::io_context io;
    beast::tcp_stream stream(io);
    connectFrom(stream, source_);
    stream.connect(net::ip::tcp::endpoint(net::ip::make_address("127.0.0.1"), port_));
    http::request<http::string_body> request{http::string_to_verb(method), target, 11};
    request.set(http::field::host, "127.0.0.1");
    request.set(http::field::content_type, "application/json");
    request.body() = body;
    request.prepare_payload();
    http::write(stream, request);
    stream.socket().close();
}

HttpResult HttpClient::send(const std::string& method, const std::string& target, const std::string& body,
    const std::string& bearer, const std::string& contentType) const
{
    http::request<http::string_body> request{http::string_to_verb(method), target, 11};
    request.set(http::field::host, "127.0.0.1:" + std::to_string(port_));
    request.set("X-Client", "linux/test");
    for (const auto& [name, value] : headers_)
        request.set(name, value);
    if (!bearer.empty())
        request.set(http::field::authorization, "Bearer " + bearer);
    if (!body.empty()) {
        request.set(http::field::content_type, contentType);
        request.body() = body;
    }
    request.prepare_payload();

    net::io_context io;
    beast::tcp_stream stream(io);
    HttpResult result;
    net::co_spawn(io, [&]() -> net::awaitable<void> {
        connectFrom(stream, source_);
        stream.expires_after(std::chrono::seconds(15));
        co_await stream.async_connect(net::ip::tcp::endpoint(net::ip::make_address("127.0.0.1"), port_), net::use_awaitable);
        co_await http::async_write(stream, request, net::use_awaitable);
        beast::flat_buffer buffer;
        http::response_parser<http::string_body> parser;
        parser.body_limit(8 * 1024 * 1024);
        co_await http::async_read(stream, buffer, parser, net::use_awaitable);
        auto& response = parser.get();
        result.status = response.result_int();
        result.body = response.body();
        for (const auto& field : response)
            result.headers[std::string(field.name_string())] = std::string(field.value());
    }, [](std::exception_ptr) {});
    io.run();
    std::map<std::string, std::string> lower;
    for (auto& [name, value] : result.headers) {
        std::string key = name;
        for (auto& c : key)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        lower[key] = value;
    }
    result.headers = std::move(lower);
    return result;
}

HttpResult HttpClient::get(const std::string& target, const std::string& bearer) const
{
    return send("GET", target, "", bearer);
}

HttpResult HttpClient::post(const std::string& target, const boost::json::value& body, const std::string& bearer) const
{
    return send("POST", target, boost::json::serialize(body), bearer);
}

HttpResult HttpClient::patch(const std::string& target, const boost::json::value& body, const std::string& bearer) const
{
    return send("PATCH", target, boost::json::serialize(body), bearer);
}

HttpResult HttpClient::del(const std::string& target, const std::string& bearer) const
{
    return send("DELETE", target, "", bearer);
}

}
