#include "api/ApiContext.h"
#include "api/Fields.h"
#include "api/Views.h"
#include "common/Random.h"
#include "common/Text.h"
#include "crypto/TokenHash.h"
#include "http/Responses.h"
#include <algorithm>

namespace tender::server {
namespace {

constexpr std::size_t maxKindLength = 32;

Response listDevices(ApiContext& api, const User& user)
{
    api.lastSeen.flush();
    json::array list;
    for (const auto& d : api.store.devices(user.uid))
        list.push_back(deviceView(d));
    return jsonResponse(http::status::ok, json::object{{"devices", std::move(list)}});
}

// A non-empty list of "receive" and "send", each at most once.
std::optional<std::vector<std::string>> readCapabilities(const json::value* value)
{
    if (!value || !value->is_array() || value->as_array().empty())
        return std::nullopt;
    std::vector<std::string> capabilities;
    for (const auto& item : value->as_array()) {
        if (!item.is_string() || (item.as_string() != "receive" && item.as_string() != "send"))
            return std::nullopt;
        std::string name(item.as_string());
        if (std::find(capabilities.begin(), capabilities.end(), name) == capabilities.end())
            capabilities.push_back(std::move(name));
    }
    return capabilities;
}

Response addDevice(ApiContext& api, const RouteContext& context, const User& user)
{
    auto body = parseObject(context.request.body());
    if (!body)
        return errorResponse(http::status::bad_request, "the body must be a JSON object");
    Fields fields(*body);
    auto name = fields.string("name");
    auto kind = fields.string("kind");
    if (fields.problem())
        return errorResponse(http::status::bad_request, *fields.problem());
    auto cleanName = trimmed(name.value_or(""));
    if (!isCleanName(cleanName, maxNameLength))
        return errorResponse(http::status::bad_request, "name must be 1 to 64 characters");
    auto cleanKind = trimmed(kind.value_or("custom"));
    if (!isCleanName(cleanKind, maxKindLength))
        return errorResponse(http::status::bad_request, "kind must be 1 to 32 characters");
    auto capabilities = readCapabilities(fields.value("capabilities"));
    if (!capabilities)
        return errorResponse(http::status::bad_request, "capabilities must list \"receive\" and/or \"send\"");
    Device device{randomId(20), user.uid, cleanName, cleanKind, *capabilities, std::nullopt};
    auto token = std::string(Authenticator::deviceTokenPrefix) + randomId(43);
    if (api.store.addDevice(device, tokenHash(token), maxDevices) == AddDeviceOutcome::full)
        return errorResponse(http::status::conflict, "too many devices");
    api.hub.syncUser(user.uid);
    return jsonResponse(http::status::created, json::object{{"device", deviceView(device)}, {"token", token}});
}

Response removeDevice(ApiContext& api, const RouteContext& context, const User& user)
{
    const auto& id = context.params.at(0);
    if (!api.store.removeDevice(user.uid, id))
        return errorResponse(http::status::not_found, "no such device");
    api.hub.closeDevice(user.uid, id);
    api.hub.syncUser(user.uid);
    return Response{http::status::no_content, 11};
}

}

void addDeviceRoutes(Router& router, ApiContext& api)
{
    router.add(http::verb::get, "/v1/devices",
        forUser(api.auth, [&api](const RouteContext&, const User& u) { return listDevices(api, u); }));
    router.add(http::verb::post, "/v1/devices",
        forUser(api.auth, [&api](const RouteContext& c, const User& u) { return addDevice(api, c, u); }));
    router.add(http::verb::delete_, "/v1/devices/:id",
        forUser(api.auth, [&api](const RouteContext& c, const User& u) { return removeDevice(api, c, u); }));
}

}
