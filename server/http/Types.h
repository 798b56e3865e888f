#pragma once
#include <boost/beast/http/message.hpp>
#include <boost/beast/http/string_body.hpp>

namespace tender::server {

namespace http = boost::beast::http;
using Request = http::request<http::string_body>;
using Response = http::response<http::string_body>;

constexpr std::size_t maxBodyBytes = 64 * 1024;

}
