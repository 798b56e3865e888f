#include "api/ApiContext.h"
#include "api/InviteCode.h"
#include "http/Responses.h"

namespace tender::server {
namespace {

Response me(ApiContext& api, const User& user)
{
    return jsonResponse(http::status::ok,
        json::object{{"uid", user.uid}, {"invite_url", api.webBase + "/i/" + inviteCode::display(user.inviteCode)}});
}

Response deleteMe(ApiContext& api, const User& user)
{
    auto owners = api.store.deleteUser(user.uid);
    for (const auto& owner : owners)
        api.hub.syncUser(owner);
    api.hub.closeUser(user.uid);
    return Response{http::status::no_content, 11};
}

}

void addMeRoutes(Router& router, ApiContext& api)
{
    router.add(http::verb::get, "/v1/me", forUser(api.auth, [&api](const RouteContext&, const User& u) { return me(api, u); }));
    router.add(http::verb::delete_, "/v1/me",
        forUser(api.auth, [&api](const RouteContext&, const User& u) { return deleteMe(api, u); }));
}

}
