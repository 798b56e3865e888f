#include "common/Text.h"
#include "identity/IdentityRoutes.h"
#include "web/Page.h"
#include "web/SigninFlow.h"
#include "web/WebRoutes.h"

namespace tender::server {
namespace {

// The same answer for every address, with an account or without.
constexpr const char* sent = "Письмо для нового пароля отправлено";

Response forgotForm(http::status status, const std::string& state, const std::string& email, std::string_view note)
{
    std::string body = "<h1>Забыли пароль?</h1><p class=\"muted\">Пришлём на почту ссылку, по которой можно задать "
                       "новый пароль.</p>";
    if (!note.empty()) {
        body += status == http::status::ok ? "<p class=\"muted\">" : "<p class=\"error\">";
        body += escapeHtml(note);
        body += "</p>";
    }
    body += "<form method=\"post\" action=\"/forgot\"><input type=\"hidden\" name=\"state\" value=\"" + escapeHtml(state)
        + "\"><label>Почта<input type=\"email\" name=\"email\" value=\"" + escapeHtml(email)
        + "\" required autofocus autocomplete=\"username\"></label><button type=\"submit\">Прислать ссылку</button>"
          "</form><p class=\"muted\"><a href=\"/signin?state=" + escapeHtml(state) + "\">← Ко входу</a></p>";
    return page(status, "Новый пароль", body);
}

Response submitForgot(const WebContext& web, const RouteContext& context)
{
    auto form = readForm(context.request.body());
    auto state = signinState(form);
    if (!state)
        return signinNotStarted();
    auto email = trimmed(form.fields["email"]);
    if (email.empty())
        return forgotForm(http::status::bad_request, *state, email, "Сначала введи почту");
    auto requested = web.provider.sendPasswordReset(email, context.client);
    countIdentityOutcome(web.metrics, "forgotPage", requested ? "" : requested.error());
    if (!requested)
        return forgotForm(signinStatus(requested.error()), *state, email, signinProblem(requested.error()));
    return forgotForm(http::status::ok, *state, email, sent);
}

}

void addForgotPage(Router& router, const WebContext& web)
{
    router.add(http::verb::get, "/forgot", [](const RouteContext& context) {
        auto state = signinState(readForm(context.target.encoded_query()));
        return state ? forgotForm(http::status::ok, *state, "", "") : signinNotStarted();
    });
    router.add(http::verb::post, "/forgot", [web](const RouteContext& context) { return submitForgot(web, context); },
        Router::Cost::slow, [](const RouteContext& context) {
            auto form = readForm(context.request.body());
            auto state = signinState(form);
            return state ? forgotForm(http::status::too_many_requests, *state, trimmed(form.fields["email"]),
                               signinProblem(IdentityProvider::tooManyAttempts))
                         : signinNotStarted();
        });
}

}
