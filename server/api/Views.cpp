#include "api/Views.h"
#include "common/Time.h"

namespace tender::server {

json::object contactView(const Contact& contact)
{
    return {{"id", contact.id}, {"label", contact.label}, {"position", contact.position}, {"close", contact.close}};
}

json::object deviceView(const Device& device)
{
    json::array capabilities;
    for (const auto& c : device.capabilities)
        capabilities.emplace_back(c);
    json::value lastSeen = nullptr;
    if (device.lastSeenMs)
        lastSeen = isoTime(*device.lastSeenMs);
    return {{"id", device.id}, {"name", device.name}, {"kind", device.kind}, {"capabilities", std::move(capabilities)},
        {"last_seen_at", std::move(lastSeen)}};
}

}
