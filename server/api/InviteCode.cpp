#include "api/InviteCode.h"
#include "common/Random.h"
#include "common/Text.h"

namespace tender::server::inviteCode {
namespace {

std::string_view afterLast(std::string_view text, std::string_view marker)
{
    auto at = text.rfind(marker);
    return at == std::string_view::npos ? text : text.substr(at + marker.size());
}

}

std::string generate()
{
    return randomText(alphabet, length);
}

std::optional<std::string> read(std::string_view text)
{
    std::string whole = trimmed(text);
    std::string_view piece = afterLast(afterLast(whole, "/i/"), "tender://add/");
    piece = piece.substr(0, piece.find_first_of("/?#"));
    std::string code;
    for (char c : piece) {
        if (c == '-')
            continue;
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        if (alphabet.find(c) == std::string_view::npos)
            return std::nullopt;
        code += c;
    }
    if (code.size() != length)
        return std::nullopt;
    return code;
}

std::string display(const std::string& code)
{
    return code.substr(0, 5) + "-" + code.substr(5);
}

}
