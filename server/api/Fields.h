#pragma once
#include "common/Json.h"
#include <cstdint>
#include <optional>
#include <string>

namespace tender::server {

// Typed reads of a request body's optional fields. A present field of the wrong type is
// remembered as `problem`, so the caller refuses the request and changes nothing.
class Fields {
public:
    explicit Fields(const json::object& body) : body_(body) {}

    std::optional<std::string> string(std::string_view key);
    std::optional<bool> boolean(std::string_view key);
    std::optional<std::int64_t> integer(std::string_view key);
    const json::value* value(std::string_view key) const;

    const std::optional<std::string>& problem() const { return problem_; }

private:
    const json::value* present(std::string_view key) const;
    void wrongType(std::string_view key, std::string_view expected);

    const json::object& body_;
    std::optional<std::string> problem_;
};

}
