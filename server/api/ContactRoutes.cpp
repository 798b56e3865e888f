#include "api/ApiContext.h"
#include "api/Fields.h"
#include "api/InviteCode.h"
#include "api/Views.h"
#include "common/Random.h"
#include "common/Text.h"
#include "common/Time.h"
#include "http/Responses.h"

namespace tender::server {
namespace {

constexpr const char* badLabel = "label must be 1 to 64 characters";

Response listContacts(ApiContext& api, const User& user)
{
    json::array list;
    for (const auto& c : api.store.contacts(user.uid))
        list.push_back(contactView(c));
    return jsonResponse(http::status::ok, json::object{{"contacts", std::move(list)}});
}

// The label as stored, or nothing when it breaks the rules.
std::optional<std::string> cleanLabel(const std::string& label)
{
    auto clean = trimmed(label);
    if (!isCleanName(clean, maxNameLength))
        return std::nullopt;
    return clean;
}

Response addContact(ApiContext& api, const RouteContext& context, const User& user)
{
    auto body = parseObject(context.request.body());
    if (!body)
        return errorResponse(http::status::bad_request, "the body must be a JSON object");
    Fields fields(*body);
    auto code = fields.value("code") && fields.value("code")->is_string()
        ? inviteCode::read(fields.value("code")->as_string()) : std::nullopt;
    auto label = fields.string("label");
    auto close = fields.boolean("close");
    if (fields.problem())
        return errorResponse(http::status::bad_request, *fields.problem());
    if (!label || !cleanLabel(*label))
        return errorResponse(http::status::bad_request, badLabel);
    auto now = nowMs();
    const std::string guessers[] = {"client " + context.client, "user " + user.uid};
    for (const auto& guesser : guessers)
        if (api.inviteGuesses.check(guesser, now))
            return errorResponse(http::status::too_many_requests, "too many attempts, try later");
    auto target = code ? api.store.userByInviteCode(*code) : std::nullopt;
    if (!target) {
        for (const auto& guesser : guessers)
            api.inviteGuesses.count(guesser, now);
        return errorResponse(http::status::bad_request, "not an invite code");
    }
    if (target->uid == user.uid)
        return errorResponse(http::status::bad_request, "that is your own invite");
    Contact entry{randomId(20), user.uid, target->uid, *cleanLabel(*label), close.value_or(false), 0};
    auto [outcome, added] = api.store.addContact(entry, maxContacts);
    if (outcome == AddContactOutcome::alreadyListed)
        return errorResponse(http::status::conflict, "already in your list");
    if (outcome == AddContactOutcome::full)
        return errorResponse(http::status::bad_request, "too many contacts");
    api.hub.syncUser(user.uid);
    return jsonResponse(http::status::created, contactView(added));
}

Response changeContact(ApiContext& api, const RouteContext& context, const User& user)
{
    const auto& id = context.params.at(0);
    auto body = parseObject(context.request.body());
    if (!body)
        return errorResponse(http::status::bad_request, "the body must be a JSON object");
    Fields fields(*body);
    ContactPatch patch{fields.string("label"), fields.boolean("close"), fields.integer("position")};
    if (fields.problem())
        return errorResponse(http::status::bad_request, *fields.problem());
    if (patch.label && !(patch.label = cleanLabel(*patch.label)))
        return errorResponse(http::status::bad_request, badLabel);
    if (!api.store.contact(user.uid, id))
        return errorResponse(http::status::not_found, "no such contact");
    if (patch.position && (*patch.position < 0 || *patch.position >= static_cast<std::int64_t>(api.store.contacts(user.uid).size())))
        return errorResponse(http::status::bad_request, "position is outside the list");
    auto updated = api.store.updateContact(user.uid, id, patch);
    if (!updated)
        return errorResponse(http::status::not_found, "no such contact");
    api.hub.syncUser(user.uid);
    return jsonResponse(http::status::ok, contactView(*updated));
}

Response removeContact(ApiContext& api, const RouteContext& context, const User& user)
{
    if (!api.store.removeContact(user.uid, context.params.at(0)))
        return errorResponse(http::status::not_found, "no such contact");
    api.hub.syncUser(user.uid);
    return Response{http::status::no_content, 11};
}

}

void addContactRoutes(Router& router, ApiContext& api)
{
    router.add(http::verb::get, "/v1/contacts",
        forUser(api.auth, [&api](const RouteContext&, const User& u) { return listContacts(api, u); }));
    router.add(http::verb::post, "/v1/contacts",
        forUser(api.auth, [&api](const RouteContext& c, const User& u) { return addContact(api, c, u); }));
    router.add(http::verb::patch, "/v1/contacts/:id",
        forUser(api.auth, [&api](const RouteContext& c, const User& u) { return changeContact(api, c, u); }));
    router.add(http::verb::delete_, "/v1/contacts/:id",
        forUser(api.auth, [&api](const RouteContext& c, const User& u) { return removeContact(api, c, u); }));
}

}
