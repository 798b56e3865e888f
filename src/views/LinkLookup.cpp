#include "views/LinkLookup.h"

#include "records/InviteCode.h"

namespace tender::views {

LinkLookup LinkLookup::check(const QString &link)
{
    if (link.trimmed().isEmpty())
        return {};
    const std::optional<QString> code = inviteID(link);
    return code ? LinkLookup{Ready, *code} : LinkLookup{Invalid, {}};
}

} // namespace tender::views
