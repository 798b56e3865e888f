#include "api/ApiContext.h"
#include "common/Time.h"
#include "http/Responses.h"

namespace tender::server {
namespace {

struct Recipient {
    std::optional<std::string> contact;
    bool anyone = false;
};

// {"contact": ID} or {"anyone": true}, nothing else.
std::optional<Recipient> readRecipient(const json::object& body)
{
    auto to = body.find("to");
    if (to == body.end() || !to->value().is_object())
        return std::nullopt;
    const auto& fields = to->value().as_object();
    if (fields.size() != 1)
        return std::nullopt;
    if (auto contact = fields.find("contact"); contact != fields.end() && contact->value().is_string())
        return Recipient{std::string(contact->value().as_string()), false};
    if (auto anyone = fields.find("anyone"); anyone != fields.end() && anyone->value().is_bool() && anyone->value().as_bool())
        return Recipient{std::nullopt, true};
    return std::nullopt;
}

Response answer(Signals::Sent sent)
{
    switch (sent) {
    case Signals::Sent::accepted:
        return jsonResponse(http::status::accepted, json::object{});
    case Signals::Sent::notFound:
        return errorResponse(http::status::not_found, "no such contact");
    case Signals::Sent::unavailable:
        return unavailableResponse("cannot deliver now, try again shortly");
    case Signals::Sent::tooMany:
        break;
    }
    return errorResponse(http::status::too_many_requests, "too many signals, try later");
}

Response postEvent(ApiContext& api, const RouteContext& context, const Principal& who)
{
    auto body = parseObject(context.request.body());
    if (!body)
        return errorResponse(http::status::bad_request, "the body must be a JSON object");
    auto type = body->find("type");
    if (type == body->end() || !type->value().is_string() || type->value().as_string() != "signal")
        return errorResponse(http::status::bad_request, "unknown event type");
    auto recipient = readRecipient(*body);
    if (!recipient)
        return errorResponse(http::status::bad_request, "to must be {\"contact\": id} or {\"anyone\": true}");
    auto now = nowMs();
    if (who.device) {
        if (!who.device->can("send"))
            return errorResponse(http::status::forbidden, "this device does not send signals");
        if (recipient->anyone)
            return errorResponse(http::status::forbidden, "a device sends only to a person of the list");
        api.lastSeen.touch(who.device->id, now);
    }
    if (recipient->anyone)
        return answer(api.signals.toAnyone(who.user.uid, now));
    return answer(api.signals.toContact(who.user.uid, *recipient->contact, now));
}

}

void addEventRoutes(Router& router, ApiContext& api)
{
    router.add(http::verb::post, "/v1/events",
        forPrincipal(api.auth, [&api](const RouteContext& c, const Principal& p) { return postEvent(api, c, p); }));
}

}
