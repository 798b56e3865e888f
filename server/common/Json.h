#pragma once
#include <boost/json.hpp>
#include <optional>
#include <string>
#include <string_view>

namespace tender::server {

namespace json = boost::json;

// Parses a request body that must be one JSON object; anything else gives nothing.
std::optional<json::object> parseObject(std::string_view body);

std::string toJson(const json::value& value);

}
