#pragma once
#include "http/Form.h"
#include "http/Types.h"
#include <string>
#include <string_view>

namespace tender::server {

std::string escapeHtml(std::string_view text);

// A whole page in the site's one style; `body` is trusted markup.
Response page(http::status status, std::string_view title, std::string_view body);

}
