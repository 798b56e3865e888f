#pragma once
#include "http/Types.h"
#include <map>
#include <string>
#include <string_view>

namespace tender::server {

std::string escapeHtml(std::string_view text);

// A whole page in the site's one style; `body` is trusted markup.
Response page(http::status status, std::string_view title, std::string_view body);

// The fields of an application/x-www-form-urlencoded body or a query; the first of a name wins.
std::map<std::string, std::string> formFields(std::string_view encoded);

}
