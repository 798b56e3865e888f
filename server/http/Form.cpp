#include "http/Form.h"
#include <boost/url/encoding_opts.hpp>
#include <boost/url/parse_query.hpp>

namespace tender::server {

Form readForm(std::string_view encoded)
{
    Form form;
    // Boost 1.81's parse_query measures its input with strlen, so it must end in a NUL.
    const std::string text(encoded);
    auto query = boost::urls::parse_query(text);
    if (!query) {
        form.malformed = true;
        return form;
    }
    boost::urls::encoding_opts plusIsSpace;
    plusIsSpace.space_as_plus = true;
    for (auto param : *query) {
        auto [at, added] = form.fields.emplace(param.key.decode(plusIsSpace),
            param.has_value ? param.value.decode(plusIsSpace) : std::string());
        form.repeated = form.repeated || !added;
    }
    return form;
}

std::map<std::string, std::string> formFields(std::string_view encoded)
{
    return readForm(encoded).fields;
}

}
