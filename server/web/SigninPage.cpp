#include "common/Text.h"
#include "http/Responses.h"
#include "identity/IdentityRoutes.h"
#include "web/Page.h"
#include "web/SigninFlow.h"
#include "web/WebRoutes.h"
#include <boost/url/url.hpp>

namespace tender::server {
namespace {

constexpr std::size_t appMinPasswordLength = 8; // what the app asks for, so that both say the same

// What the person typed (never the password) and what went wrong with it.
struct Typed {
    std::string email;
    std::string problem;
};

std::string problemLine(const Typed& typed)
{
    return typed.problem.empty() ? "" : "<p class=\"error\">" + escapeHtml(typed.problem) + "</p>";
}

std::string passwordForm(const std::string& state, const Typed& typed)
{
    return "<div class=\"heart\">♥</div><h1>Вход в Tender</h1>"
           "<p class=\"muted\">Если аккаунта с этой почтой ещё нет, он появится с этим паролем.</p>"
        + problemLine(typed) + "<form method=\"post\" action=\"/signin\"><input type=\"hidden\" name=\"state\" value=\""
        + escapeHtml(state) + "\"><label>Почта<input type=\"email\" name=\"email\" value=\"" + escapeHtml(typed.email)
        + "\" required autofocus autocomplete=\"username\" placeholder=\"anna@example.org\"></label>"
          "<label>Пароль<input type=\"password\" name=\"password\" required autocomplete=\"current-password\" "
          "placeholder=\"Не меньше 8 символов\"></label><button type=\"submit\">Войти или создать аккаунт</button>"
          "</form><p class=\"muted\"><a href=\"/forgot?state="
        + escapeHtml(state) + "\">Забыли пароль?</a></p>";
}

std::string developmentForm(const std::string& state, const Typed& typed)
{
    return "<div class=\"heart\">♥</div><h1>Вход в Tender</h1>"
           "<p class=\"muted\">Это страница для разработки: она впускает по одному адресу почты, без пароля.</p>"
        + problemLine(typed) + "<form method=\"post\" action=\"/signin\"><input type=\"hidden\" name=\"state\" value=\""
        + escapeHtml(state) + "\"><label>Почта<input type=\"email\" name=\"email\" required autofocus "
                              "autocomplete=\"email\"></label><button type=\"submit\">Войти</button></form>";
}

Response signinForm(const WebContext& web, http::status status, const std::string& state, const Typed& typed)
{
    return page(status, "Вход", web.devSignin ? developmentForm(state, typed) : passwordForm(state, typed));
}

std::string callbackUrl(const std::string& state, const Credentials& c)
{
    boost::urls::url url("tender://signin");
    url.params().append({"state", state});
    url.params().append({"uid", c.uid});
    url.params().append({"rt", c.refreshToken});
    url.params().append({"email", c.email});
    return std::string(url.buffer());
}

// The app's own checks before it asks, in its words; then its sign-in-or-create chain.
Outcome<Credentials> signInWithPassword(const WebContext& web, const RouteContext& context, Form& form, Typed& typed)
{
    const auto& password = form.fields["password"];
    if (typed.email.empty())
        typed.problem = "Введи почту";
    else if (codePoints(password) < appMinPasswordLength)
        typed.problem = "Пароль нужен не короче 8 символов";
    if (!typed.problem.empty())
        return Outcome<Credentials>::failure("INVALID_INPUT");
    return web.provider.signInOrCreate(typed.email, password, context.client);
}

Response submitSignin(const WebContext& web, const RouteContext& context)
{
    auto form = readForm(context.request.body());
    auto state = signinState(form);
    if (!state)
        return signinNotStarted();
    Typed typed{trimmed(form.fields["email"]), ""};
    auto signedIn = web.devSignin ? web.provider.signInWithoutPassword(typed.email)
                                  : signInWithPassword(web, context, form, typed);
    countIdentityOutcome(web.metrics, "signinPage", signedIn ? "" : signedIn.error());
    if (signedIn)
        return redirectResponse(callbackUrl(*state, *signedIn));
    if (typed.problem.empty())
        typed.problem = signinProblem(signedIn.error());
    return signinForm(web, signinStatus(signedIn.error()), *state, typed);
}

}

void addSigninPage(Router& router, const WebContext& web)
{
    router.add(http::verb::get, "/signin", [web](const RouteContext& context) {
        auto state = signinState(readForm(context.target.encoded_query()));
        return state ? signinForm(web, http::status::ok, *state, {}) : signinNotStarted();
    });
    router.add(http::verb::post, "/signin", [web](const RouteContext& context) { return submitSignin(web, context); },
        web.devSignin ? Router::Cost::quick : Router::Cost::slow, [web](const RouteContext& context) {
            auto form = readForm(context.request.body());
            auto state = signinState(form);
            if (!state)
                return signinNotStarted();
            Typed typed{trimmed(form.fields["email"]), signinProblem(IdentityProvider::tooManyAttempts)};
            return signinForm(web, http::status::too_many_requests, *state, typed);
        });
}

}
