#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace tender::server {

// Removes spaces, tabs and line breaks from both ends.
std::string trimmed(std::string_view text);

// Number of code points of valid UTF-8 text.
std::size_t codePoints(std::string_view text);

bool hasControlCharacters(std::string_view text);

std::string asciiLower(std::string_view text);

// A name the user typed: trimmed, 1 to `maxLength` code points, no control characters.
bool isCleanName(std::string_view trimmedName, std::size_t maxLength);

}
