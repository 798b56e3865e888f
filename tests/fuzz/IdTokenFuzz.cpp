// Identity tokens as the service reads them from a bearer header: taken as they come, and with
// the input as their claims, signed with the service's key so that the claims are read too.
// A first line that starts with '{' is taken as the token's header.
#include "FuzzTarget.h"
#include "identity/VerifiedTokens.h"
#include <sodium.h>

namespace tender::fuzz {
namespace {

constexpr std::int64_t now = 1'800'000'000;
const std::string secret(32, 'k');

std::string base64Url(std::string_view bytes)
{
    std::string text(sodium_base64_ENCODED_LEN(bytes.size(), sodium_base64_VARIANT_URLSAFE_NO_PADDING), '\0');
    sodium_bin2base64(text.data(), text.size(), reinterpret_cast<const unsigned char*>(bytes.data()),
        bytes.size(), sodium_base64_VARIANT_URLSAFE_NO_PADDING);
    text.resize(text.find('\0'));
    return text;
}

std::string signedToken(std::string_view input)
{
    std::string_view header = R"({"alg":"HS256","typ":"JWT"})";
    if (auto end = input.find('\n'); input.starts_with('{') && end != std::string_view::npos) {
        header = input.substr(0, end);
        input.remove_prefix(end + 1);
    }
    auto signedPart = base64Url(header) + "." + base64Url(input);
    unsigned char mac[crypto_auth_hmacsha256_BYTES];
    crypto_auth_hmacsha256(mac, reinterpret_cast<const unsigned char*>(signedPart.data()), signedPart.size(),
        reinterpret_cast<const unsigned char*>(secret.data()));
    return signedPart + "." + base64Url(std::string_view(reinterpret_cast<const char*>(mac), sizeof mac));
}

}

TENDER_FUZZ_TARGET(id_token)
{
    static const server::IdTokens tokens(secret);
    for (const auto& token : {std::string(input), signedToken(input)}) {
        server::VerifiedTokens verified(tokens);
        auto claims = verified.verify(token, now);
        expect(!claims || (!claims->uid.empty() && claims->expiresAt > now), "passed a token it should not");
        auto again = verified.verify(token, now);
        expect(again.has_value() == claims.has_value() && (!again || again->uid == claims->uid),
            "a token read again reads differently");
    }
}

}
