#include "api/InviteCode.h"
#include "common/Time.h"
#include "web/Page.h"
#include "web/WebRoutes.h"

namespace tender::server {

void addInvitePage(Router& router, const WebContext& web)
{
    router.add(http::verb::get, "/i/:code", [web](const RouteContext& context) {
        auto now = nowMs();
        auto guesser = "client " + context.client;
        if (web.inviteGuesses.check(guesser, now))
            return page(http::status::too_many_requests, "Приглашение",
                "<h1>Слишком много попыток</h1><p>Попробуй открыть ссылку чуть позже.</p>");
        auto code = inviteCode::read(context.params.at(0));
        if (!code || !web.store.userByInviteCode(*code)) {
            web.inviteGuesses.count(guesser, now);
            return page(http::status::not_found, "Приглашение не найдено",
                "<h1>Приглашение не найдено</h1><p>Проверь ссылку: возможно, в ней опечатка "
                "или человек удалил свой аккаунт.</p>");
        }
        auto link = "tender://add/" + inviteCode::display(*code);
        return page(http::status::ok, "Приглашение",
            "<div class=\"heart\">♥</div><h1>Тебя приглашают в Tender</h1>"
            "<p>Кто-то хочет добавить тебя к себе, чтобы вы могли отправлять друг другу сердечки: "
            "одно нажатие, и у другого мягко светятся края экрана. Никто не узнаёт, кто именно подумал о нём.</p>"
            "<p><a class=\"button\" href=\"" + escapeHtml(link) + "\">Открыть в Tender</a></p>"
            "<p class=\"muted\">Если кнопка не сработала, установи Tender, войди и вставь эту ссылку "
            "в форму «Добавить человека». Код приглашения: <code>" + escapeHtml(inviteCode::display(*code))
            + "</code></p>");
    });
}

}
