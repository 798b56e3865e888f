// Invite codes as people paste them: bare, with dashes, or inside a link.
#include "FuzzTarget.h"
#include "api/InviteCode.h"
#include <algorithm>

namespace tender::fuzz {

TENDER_FUZZ_TARGET(invite_code)
{
    namespace code = server::inviteCode;
    auto read = code::read(input);
    if (!read)
        return;
    auto inAlphabet = [](char c) { return code::alphabet.find(c) != std::string::npos; };
    expect(read->size() == code::length && std::all_of(read->begin(), read->end(), inAlphabet),
        "read a code outside the alphabet or of another length: " + *read);
    expect(code::read(*read) == read && code::read(code::display(*read)) == read
            && code::read("https://tender.example/i/" + code::display(*read)) == read,
        "a code does not read back as itself: " + *read);
}

}
