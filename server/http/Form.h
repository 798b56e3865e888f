#pragma once
#include <map>
#include <string>
#include <string_view>

namespace tender::server {

// The fields of an application/x-www-form-urlencoded body or a query string, decoded
// ("+" is a space); the first of a name wins.
std::map<std::string, std::string> formFields(std::string_view encoded);

}
