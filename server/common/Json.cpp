#include "common/Json.h"

namespace tender::server {

std::optional<json::object> parseObject(std::string_view body)
{
    boost::system::error_code ec;
    json::parse_options options;
    options.max_depth = 16;
    json::value value = json::parse(body, ec, {}, options);
    if (ec || !value.is_object())
        return std::nullopt;
    return std::move(value.as_object());
}

std::string toJson(const json::value& value)
{
    return json::serialize(value);
}

}
