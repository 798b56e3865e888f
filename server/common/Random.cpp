#include "common/Random.h"
#include <sodium.h>

namespace tender::server {

std::string randomText(std::string_view alphabet, std::size_t length)
{
    std::string text(length, ' ');
    for (char& c : text)
        c = alphabet[randombytes_uniform(static_cast<std::uint32_t>(alphabet.size()))];
    return text;
}

std::string randomId(std::size_t length)
{
    return randomText("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", length);
}

std::uint32_t randomBelow(std::uint32_t bound)
{
    return randombytes_uniform(bound);
}

}
