#include "identity/IdentityRoutes.h"
#include "http/Form.h"
#include "http/Responses.h"

namespace tender::server {
namespace {

Response providerError(std::string_view message)
{
    json::object error{{"code", 400}, {"message", message},
        {"errors", json::array{json::object{{"message", message}, {"domain", "global"}, {"reason", "invalid"}}}}};
    return jsonResponse(http::status::bad_request, json::object{{"error", std::move(error)}});
}

bool keyAccepted(const RouteContext& context, const std::string& identityKey)
{
    for (auto param : context.target.params())
        if (param.key == "key")
            return param.has_value && param.value == identityKey;
    return false;
}

std::string stringField(const json::object& body, std::string_view key)
{
    auto found = body.find(key);
    return found != body.end() && found->value().is_string() ? std::string(found->value().as_string()) : std::string();
}

// The token call comes as a form; JSON is accepted too, as the real API does.
json::object tokenRequestFields(const Request& request)
{
    if (auto object = parseObject(request.body()))
        return *object;
    json::object fields;
    for (const auto& [name, value] : formFields(request.body()))
        fields[name] = value;
    return fields;
}

json::object signedInBody(const Credentials& c, std::string_view kind)
{
    return {{"kind", kind}, {"localId", c.uid}, {"email", c.email}, {"displayName", ""}, {"idToken", c.idToken},
        {"registered", true}, {"refreshToken", c.refreshToken}, {"expiresIn", std::to_string(c.expiresIn)}};
}

using KeyedHandler = std::function<Response(const Request&)>;

RouteHandler keyed(const std::string& identityKey, KeyedHandler handler)
{
    return [identityKey, handler = std::move(handler)](const RouteContext& context) {
        if (!keyAccepted(context, identityKey))
            return providerError("API_KEY_INVALID : API key not valid. Please pass a valid API key.");
        return handler(context.request);
    };
}

using PasswordCall = Outcome<Credentials> (IdentityProvider::*)(const std::string&, const std::string&);

KeyedHandler passwordCall(IdentityProvider& provider, PasswordCall call, std::string_view kind)
{
    return [&provider, call, kind](const Request& request) {
        auto body = parseObject(request.body());
        if (!body)
            return providerError("INVALID_JSON : Invalid JSON payload received.");
        auto result = (provider.*call)(stringField(*body, "email"), stringField(*body, "password"));
        if (!result)
            return providerError(result.error());
        return jsonResponse(http::status::ok, signedInBody(*result, kind));
    };
}

Response sendOobCode(IdentityProvider& provider, const Request& request)
{
    auto body = parseObject(request.body());
    if (!body)
        return providerError("INVALID_JSON : Invalid JSON payload received.");
    if (stringField(*body, "requestType") != "PASSWORD_RESET")
        return providerError("INVALID_REQ_TYPE : Only PASSWORD_RESET is supported here.");
    auto email = stringField(*body, "email");
    auto result = provider.sendPasswordReset(email);
    if (!result)
        return providerError(result.error());
    return jsonResponse(http::status::ok,
        json::object{{"kind", "identitytoolkit#GetOobConfirmationCodeResponse"}, {"email", email}});
}

Response refreshToken(IdentityProvider& provider, const Request& request)
{
    auto fields = tokenRequestFields(request);
    auto grantType = stringField(fields, "grant_type");
    if (grantType.empty())
        return providerError("MISSING_GRANT_TYPE");
    if (grantType != "refresh_token")
        return providerError("INVALID_GRANT_TYPE");
    auto token = stringField(fields, "refresh_token");
    if (token.empty())
        return providerError("MISSING_REFRESH_TOKEN");
    auto result = provider.refresh(token);
    if (!result)
        return providerError(result.error());
    return jsonResponse(http::status::ok,
        json::object{{"access_token", result->idToken}, {"expires_in", std::to_string(result->expiresIn)},
            {"token_type", "Bearer"}, {"refresh_token", result->refreshToken}, {"id_token", result->idToken},
            {"user_id", result->uid}, {"project_id", "tender"}});
}

}

void addIdentityRoutes(Router& router, IdentityProvider& provider, std::string identityKey)
{
    const std::string toolkit = "/identitytoolkit/v1/accounts:";
    router.add(http::verb::post, toolkit + "signInWithPassword",
        keyed(identityKey, passwordCall(provider, &IdentityProvider::signIn, "identitytoolkit#VerifyPasswordResponse")),
        Router::Cost::slow);
    router.add(http::verb::post, toolkit + "signUp",
        keyed(identityKey, passwordCall(provider, &IdentityProvider::signUp, "identitytoolkit#SignupNewUserResponse")),
        Router::Cost::slow);
    router.add(http::verb::post, toolkit + "sendOobCode",
        keyed(identityKey, [&provider](const Request& r) { return sendOobCode(provider, r); }), Router::Cost::slow);
    router.add(http::verb::post, "/securetoken/v1/token",
        keyed(identityKey, [&provider](const Request& r) { return refreshToken(provider, r); }));
}

}
