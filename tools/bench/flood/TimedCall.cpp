#include "flood/TimedCall.h"
#include <boost/asio.hpp>
#include <boost/beast.hpp>
#include <boost/json.hpp>

namespace tender::bench {

namespace net = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;

Answer timedCall(unsigned short port, const std::string& source, const std::string& method, const std::string& target,
    const std::string& body, std::chrono::seconds limit)
{
    auto started = std::chrono::steady_clock::now();
    net::io_context io;
    beast::tcp_stream stream(io);
    Answer answer;
    beast::error_code error;
    stream.socket().open(net::ip::tcp::v4(), error);
    stream.socket().bind({net::ip::make_address(source), 0}, error);
    stream.expires_after(limit);
    stream.async_connect({net::ip::make_address("127.0.0.1"), port}, [&](beast::error_code connectError) {
        if (connectError)
            return;
        auto request = std::make_shared<http::request<http::string_body>>(http::string_to_verb(method), target, 11);
        request->set(http::field::host, "127.0.0.1");
        request->set(http::field::content_type, "application/json");
        request->body() = body;
        request->prepare_payload();
        http::async_write(stream, *request, [&, request](beast::error_code writeError, std::size_t) {
            if (writeError)
                return;
            auto buffer = std::make_shared<beast::flat_buffer>();
            auto response = std::make_shared<http::response<http::string_body>>();
            http::async_read(stream, *buffer, *response, [&, buffer, response](beast::error_code readError, std::size_t) {
                if (readError)
                    return;
                answer.status = response->result_int();
                answer.body = std::move(response->body());
            });
        });
    });
    io.run();
    answer.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    return answer;
}

std::string passwordBody(const std::string& email, const std::string& password)
{
    return boost::json::serialize(boost::json::object{{"email", email}, {"password", password}, {"returnSecureToken", true}});
}

}
