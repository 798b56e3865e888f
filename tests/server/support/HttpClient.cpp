#include "support/HttpClient.h"
#include <boost/algorithm/string/case_conv.hpp>
#include <boost/asio.hpp>
#include <boost/beast.hpp>
#include <boost/json.hpp>
#include <boost/url/encode.hpp>
#include <boost/url/rfc/unreserved_chars.hpp>

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

std::string HttpResult::field(std::string_view pointer) const
{
    boost::system::error_code ec;
    auto value = json();
    auto* found = value.find_pointer(pointer, ec);
    return found && found->is_string() ? std::string(found->as_string()) : "";
}

std::string HttpResult::error() const
{
    auto flat = field("/error");
    return flat.empty() ? field("/error/message") : flat;
}

std::string formBody(const std::map<std::string, std::string>& fields)
{
    boost::urls::encoding_opts browser(true);
    std::string body;
    for (const auto& [name, value] : fields)
        body += (body.empty() ? "" : "&") + name + "="
            + boost::urls::encode(value, boost::urls::unreserved_chars, browser);
    return body;
}

HttpResult HttpClient::postForm(const std::string& target,
    const std::map<std::string, std::string>& fields) const
{
    return send("POST", target, formBody(fields), "", "application/x-www-form-urlencoded");
}

HttpResult HttpClient::send(const std::string& method, const std::string& target, const std::string& body,
    const std::string& bearer, const std::string& contentType) const
{
    http::request<http::string_body> request{http::string_to_verb(method), target, 11};
    request.set(http::field::host, "127.0.0.1:" + std::to_string(port_));
    request.set("X-Client", "linux/test");
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
        stream.socket().open(net::ip::tcp::v4());
        stream.socket().bind({net::ip::make_address(source_), 0});
        stream.expires_after(std::chrono::seconds(15));
        co_await stream.async_connect({net::ip::make_address("127.0.0.1"), port_}, net::use_awaitable);
        co_await http::async_write(stream, request, net::use_awaitable);
        beast::flat_buffer buffer;
        http::response_parser<http::string_body> parser;
        parser.body_limit(8 * 1024 * 1024);
        co_await http::async_read(stream, buffer, parser, net::use_awaitable);
        result.status = parser.get().result_int();
        result.body = parser.get().body();
        for (const auto& field : parser.get())
            result.headers[boost::to_lower_copy(std::string(field.name_string()))] = field.value();
    }, [](std::exception_ptr) {});
    io.run();
    return result;
}

}
