#pragma once
#include <map>
#include <string>
#include <string_view>

namespace tender::server {

// An application/x-www-form-urlencoded body or a query string, decoded ("+" is a space).
struct Form {
    std::map<std::string, std::string> fields; // the first of a name wins
    bool malformed = false; // not form encoding at all; then `fields` is empty
    bool repeated = false;  // some name came more than once

    bool sound() const { return !malformed && !repeated; }
};

Form readForm(std::string_view encoded);

// The fields alone: nothing for a malformed form, the first of a repeated name.
std::map<std::string, std::string> formFields(std::string_view encoded);

}
