#include "http/Responses.h"
#include "web/Page.h"
#include "web/WebRoutes.h"
#include <boost/url/url.hpp>

namespace tender::server {
namespace {

std::string signinForm(const std::string& state, std::string_view problem)
{
    std::string body = "<div class=\"heart\">♥</div><h1>Вход в Tender</h1>"
                       "<p class=\"muted\">Это страница для разработки: она впускает по одному адресу почты, "
                       "без пароля.</p>";
    if (!problem.empty())
        body += "<p class=\"error\">" + escapeHtml(problem) + "</p>";
    body += "<form method=\"post\" action=\"/signin\"><input type=\"hidden\" name=\"state\" value=\""
        + escapeHtml(state) + "\"><label>Почта<input type=\"email\" name=\"email\" required autofocus "
        "autocomplete=\"email\"></label><button type=\"submit\">Войти</button></form>";
    return body;
}

Response notHere()
{
    return page(http::status::not_found, "Нет такой страницы", "<h1>Нет такой страницы</h1>");
}

Response missingState()
{
    return page(http::status::bad_request, "Вход", "<h1>Вход не начался</h1>"
        "<p>Открой вход из приложения Tender ещё раз.</p>");
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

}

void addSigninPage(Router& router, const WebContext& web)
{
    router.add(http::verb::get, "/signin", [web](const RouteContext& context) {
        if (!web.devSignin)
            return notHere();
        auto state = formFields(context.target.encoded_query())["state"];
        if (state.empty())
            return missingState();
        return page(http::status::ok, "Вход", signinForm(state, ""));
    });
    router.add(http::verb::post, "/signin", [web](const RouteContext& context) {
        if (!web.devSignin)
            return notHere();
        auto fields = formFields(context.request.body());
        const auto& state = fields["state"];
        if (state.empty())
            return missingState();
        auto signedIn = web.provider.signInWithoutPassword(fields["email"]);
        if (!signedIn)
            return page(http::status::bad_request, "Вход", signinForm(state, "Проверь адрес почты"));
        return redirectResponse(callbackUrl(state, *signedIn));
    });
}

}
