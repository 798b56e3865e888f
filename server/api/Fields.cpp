#include "api/Fields.h"

namespace tender::server {

const json::value* Fields::present(std::string_view key) const
{
    auto found = body_.find(key);
    return found == body_.end() || found->value().is_null() ? nullptr : &found->value();
}

const json::value* Fields::value(std::string_view key) const
{
    return present(key);
}

void Fields::wrongType(std::string_view key, std::string_view expected)
{
    if (!problem_)
        problem_ = std::string(key) + " must be " + std::string(expected);
}

std::optional<std::string> Fields::string(std::string_view key)
{
    auto v = present(key);
    if (!v)
        return std::nullopt;
    if (!v->is_string()) {
        wrongType(key, "a string");
        return std::nullopt;
    }
    return std::string(v->as_string());
}

std::optional<bool> Fields::boolean(std::string_view key)
{
    auto v = present(key);
    if (!v)
        return std::nullopt;
    if (!v->is_bool()) {
        wrongType(key, "true or false");
        return std::nullopt;
    }
    return v->as_bool();
}

std::optional<std::int64_t> Fields::integer(std::string_view key)
{
    auto v = present(key);
    if (!v)
        return std::nullopt;
    if (v->is_int64())
        return v->as_int64();
    if (v->is_uint64() && v->as_uint64() <= static_cast<std::uint64_t>(INT64_MAX))
        return static_cast<std::int64_t>(v->as_uint64());
    wrongType(key, "an integer");
    return std::nullopt;
}

}
