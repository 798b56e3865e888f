#include "http/Form.h"
#include <boost/url/encoding_opts.hpp>
#include <boost/url/parse_query.hpp>

namespace tender::server {

std::map<std::string, std::string> formFields(std::string_view encoded)
{
    std::map<std::string, std::string> fields;
    // Boost 1.81's parse_query measures its input with strlen, so it must end in a NUL.
    const std::string text(encoded);
    auto query = boost::urls::parse_query(text);
    if (!query)
        return fields;
    boost::urls::encoding_opts form;
    form.space_as_plus = true;
    for (auto param : *query)
        fields.emplace(param.key.decode(form), param.has_value ? param.value.decode(form) : std::string());
    return fields;
}

}
