#include "identity/IdentityRoutes.h"
#include "web/Page.h"
#include "web/WebRoutes.h"

namespace tender::server {
namespace {

std::string resetForm(const std::string& code, std::string_view problem)
{
    std::string body = "<h1>Новый пароль</h1>";
    if (!problem.empty())
        body += "<p class=\"error\">" + escapeHtml(problem) + "</p>";
    body += "<form method=\"post\" action=\"/reset\"><input type=\"hidden\" name=\"code\" value=\"" + escapeHtml(code)
        + "\"><label>Пароль, не короче 6 символов<input type=\"password\" name=\"password\" required minlength=\"6\" "
          "autocomplete=\"new-password\" autofocus></label><button type=\"submit\">Сохранить</button></form>";
    return body;
}

Response busy(const std::string& code)
{
    return page(http::status::too_many_requests, "Новый пароль",
        resetForm(code, "Слишком много попыток, попробуй чуть позже"));
}

Response expired()
{
    return page(http::status::bad_request, "Ссылка устарела",
        "<h1>Ссылка устарела</h1><p>Запроси сброс пароля в приложении ещё раз.</p>");
}

}

void addResetPage(Router& router, const WebContext& web)
{
    router.add(http::verb::get, "/reset", [](const RouteContext& context) {
        auto code = formFields(context.target.encoded_query())["code"];
        if (code.empty())
            return expired();
        return page(http::status::ok, "Новый пароль", resetForm(code, ""));
    });
    router.add(http::verb::post, "/reset", [web](const RouteContext& context) {
        auto fields = formFields(context.request.body());
        auto done = web.provider.resetPassword(fields["code"], fields["password"], context.client);
        countIdentityOutcome(web.metrics, "resetPage", done ? "" : done.error());
        if (done)
            return page(http::status::ok, "Пароль изменён",
                "<h1>Пароль изменён</h1><p>Теперь войди в Tender с новым паролем.</p>");
        if (done.error() == "WEAK_PASSWORD")
            return page(http::status::bad_request, "Новый пароль",
                resetForm(fields["code"], "Пароль слишком простой: нужно хотя бы 6 символов"));
        if (done.error().starts_with("TOO_MANY"))
            return busy(fields["code"]);
        return expired();
    }, Router::Cost::slow, [](const RouteContext& context) { return busy(formFields(context.request.body())["code"]); });
}

}
