// A JSON body as the routes read it: one object, its fields read as each type.
#include "FuzzTarget.h"
#include "api/Fields.h"
#include <cstdint>

namespace tender::fuzz {

TENDER_FUZZ_TARGET(fields)
{
    auto body = server::parseObject(input);
    if (!body)
        return;
    for (const auto& [key, value] : *body) {
        server::Fields asString(*body), asBoolean(*body), asInteger(*body);
        auto string = asString.string(key);
        auto boolean = asBoolean.boolean(key);
        auto integer = asInteger.integer(key);
        bool fitsInteger = value.is_int64() || (value.is_uint64() && value.as_uint64() <= INT64_MAX);
        expect(string.has_value() == value.is_string() && boolean.has_value() == value.is_bool()
                && integer.has_value() == fitsInteger,
            "a field read as the wrong type");
        expect(asString.problem().has_value() == !(value.is_null() || value.is_string())
                && asBoolean.problem().has_value() == !(value.is_null() || value.is_bool())
                && asInteger.problem().has_value() == !(value.is_null() || fitsInteger),
            "a wrong type not told as a problem, or a right one told");
        expect(!integer
                || *integer == (value.is_int64() ? value.as_int64() : std::int64_t(value.as_uint64())),
            "an integer read as another");
    }
}

}
