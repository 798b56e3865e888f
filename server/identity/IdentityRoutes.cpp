#include "identity/IdentityRoutes.h"
#include "http/Form.h"
#include "http/Responses.h"

namespace tender::server {
namespace {

Response providerError(std::string_view message)
{
    json::object error{{"code", 400}, {"message", message},
        {"errors", json::array{json::object{{"message", message}, {"domain", "global"}, {"reason", "invalid"}}}}};
    auto response = jsonResponse(http::status::bad_request, json::object{{"error", std::move(error)}});
    if (message.starts_with("TOO_MANY_ATTEMPTS_TRY_LATER"))
        response.set(http::field::retry_after, "5");
    return response;
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

// A call's answer: the provider's error message, or the body of a success.
struct Answer {
    std::string error;
    json::object body;
};

Answer failed(std::string message)
{
    return {std::move(message), {}};
}

using KeyedHandler = std::function<Answer(const RouteContext&)>;

// Checks the key, answers in the provider's shapes and counts each outcome by its code (the message
// up to its first space: a small fixed set).
RouteHandler keyed(const std::string& identityKey, std::string call, Metrics& metrics, KeyedHandler handler)
{
    return [identityKey, call, &metrics, handler = std::move(handler)](const RouteContext& context) {
        auto answer = keyAccepted(context, identityKey)
            ? handler(context)
            : failed("API_KEY_INVALID : API key not valid. Please pass a valid API key.");
        countIdentityOutcome(metrics, call, answer.error);
        if (!answer.error.empty())
            return providerError(answer.error);
        return jsonResponse(http::status::ok, answer.body);
    };
}

using PasswordCall = Outcome<Credentials> (IdentityProvider::*)(const std::string&, const std::string&,
    const std::string&);

KeyedHandler passwordCall(IdentityProvider& provider, PasswordCall call, std::string_view kind)
{
    return [&provider, call, kind](const RouteContext& context) {
        auto body = parseObject(context.request.body());
        if (!body)
            return failed("INVALID_JSON : Invalid JSON payload received.");
        auto result = (provider.*call)(stringField(*body, "email"), stringField(*body, "password"), context.client);
        if (!result)
            return failed(result.error());
        return Answer{"", signedInBody(*result, kind)};
    };
}

Answer sendOobCode(IdentityProvider& provider, const RouteContext& context)
{
    auto body = parseObject(context.request.body());
    if (!body)
        return failed("INVALID_JSON : Invalid JSON payload received.");
    if (stringField(*body, "requestType") != "PASSWORD_RESET")
        return failed("INVALID_REQ_TYPE : Only PASSWORD_RESET is supported here.");
    auto email = stringField(*body, "email");
    auto result = provider.sendPasswordReset(email, context.client);
    if (!result)
        return failed(result.error());
    return {"", {{"kind", "identitytoolkit#GetOobConfirmationCodeResponse"}, {"email", email}}};
}

Answer refreshToken(IdentityProvider& provider, const RouteContext& context)
{
    auto fields = tokenRequestFields(context.request);
    auto grantType = stringField(fields, "grant_type");
    if (grantType.empty())
        return failed("MISSING_GRANT_TYPE");
    if (grantType != "refresh_token")
        return failed("INVALID_GRANT_TYPE");
    auto token = stringField(fields, "refresh_token");
    if (token.empty())
        return failed("MISSING_REFRESH_TOKEN");
    auto result = provider.refresh(token);
    if (!result)
        return failed(result.error());
    return {"", {{"access_token", result->idToken}, {"expires_in", std::to_string(result->expiresIn)},
                    {"token_type", "Bearer"}, {"refresh_token", result->refreshToken}, {"id_token", result->idToken},
                    {"user_id", result->uid}, {"project_id", "tender"}}};
}

Response busy(const RouteContext&)
{
    return providerError(IdentityProvider::tooManyAttempts);
}

}

void countIdentityOutcome(Metrics& metrics, const std::string& call, const std::string& error)
{
    auto code = error.empty() ? "OK" : error.substr(0, error.find(' '));
    metrics.counter("tender_identity_outcomes_total", "Identity calls by call and outcome",
        {{"call", call}, {"outcome", code}}).add();
}

void addIdentityRoutes(Router& router, IdentityProvider& provider, std::string identityKey, Metrics& metrics)
{
    const std::string toolkit = "/identitytoolkit/v1/accounts:";
    router.add(http::verb::post, toolkit + "signInWithPassword",
        keyed(identityKey, "signInWithPassword", metrics,
            passwordCall(provider, &IdentityProvider::signIn, "identitytoolkit#VerifyPasswordResponse")),
        Router::Cost::slow, busy);
    router.add(http::verb::post, toolkit + "signUp",
        keyed(identityKey, "signUp", metrics,
            passwordCall(provider, &IdentityProvider::signUp, "identitytoolkit#SignupNewUserResponse")),
        Router::Cost::slow, busy);
    router.add(http::verb::post, toolkit + "sendOobCode",
        keyed(identityKey, "sendOobCode", metrics, [&provider](const RouteContext& c) { return sendOobCode(provider, c); }),
        Router::Cost::slow, busy);
    router.add(http::verb::post, "/securetoken/v1/token",
        keyed(identityKey, "token", metrics, [&provider](const RouteContext& c) { return refreshToken(provider, c); }));
}

}
