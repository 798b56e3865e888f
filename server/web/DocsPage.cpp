#include "web/Page.h"
#include "web/WebRoutes.h"

namespace tender::server {
namespace {

std::string docs(const std::string& base)
{
    auto b = escapeHtml(base);
    return "<div class=\"heart\">♥</div><h1>Своё устройство для Tender</h1>"
           "<p>Игрушка, лампа или своя плата может светиться, когда о тебе думают, и отправлять сердечко по кнопке. "
           "Ей нужен только Wi-Fi и токен устройства.</p>"
           "<h2>1. Подключи устройство</h2>"
           "<p>В Tender открой «Настройки» → «Устройства», дай устройству имя, выбери, принимает оно сердечки, "
           "отправляет или и то и другое, и нажми «Подключить устройство». Приложение покажет токен один раз: "
           "скопируй его в прошивку. С этим токеном можно отправлять сердечки от твоего имени, поэтому никому его "
           "не показывай. Отключить устройство можно там же, токен сразу перестанет работать.</p>"
           "<h2>2. Принимай сердечки</h2>"
           "<p>Устройство открывает WebSocket с токеном в заголовке <code>Authorization</code>:</p>"
           "<pre>GET " + b + "/v1/device/stream\nAuthorization: Bearer tdv_…</pre>"
           "<p>Сервер присылает текстовые кадры JSON. Сначала <code>{\"type\":\"ready\"}</code>, потом на каждое "
           "сердечко:</p><pre>{\"type\":\"event\",\"event\":{\"type\":\"signal\",\"v\":1}}</pre>"
           "<p>Кадры других типов и с другим <code>v</code> пропускай. Раз в 30 секунд отправляй WebSocket ping: "
           "соединение, молчащее дольше 75 секунд, сервер закрывает. После обрыва подключайся снова, "
           "с паузой 1, 2, 4… до 60 секунд. Ответ 401 до открытия соединения значит, что токен отозван.</p>"
           "<p>Проверить с компьютера:</p>"
           "<pre>curl -i -N -H 'Authorization: Bearer tdv_…' \\\n  -H 'Connection: Upgrade' -H 'Upgrade: websocket' \\\n"
           "  -H 'Sec-WebSocket-Version: 13' -H 'Sec-WebSocket-Key: dGVuZGVyLWRldmljZS0xMg==' \\\n  "
           + b + "/v1/device/stream</pre>"
           "<h2>3. Отправляй сердечки</h2>"
           "<p>Устройство, которое отправляет, посылает сердечко человеку из твоего списка по его id "
           "(список: <code>GET /v1/contacts</code> с токеном входа в приложение):</p>"
           "<pre>curl -X POST " + b + "/v1/events \\\n  -H 'Authorization: Bearer tdv_…' \\\n"
           "  -H 'Content-Type: application/json' \\\n"
           "  -d '{\"type\":\"signal\",\"to\":{\"contact\":\"ID\"}}'</pre>"
           "<p>Ответы: 202 — отправлено; 404 — такого человека нет в списке; 429 — слишком часто, подожди; "
           "401 — токен отозван; 403 — устройству не разрешено отправлять.</p>"
           "<p class=\"muted\">Получатель не узнаёт, кто отправил сердечко: в кадре нет ни имени, ни цвета.</p>";
}

}

void addDocsPage(Router& router, const WebContext& web)
{
    router.add(http::verb::get, "/docs", [web](const RouteContext&) { return page(http::status::ok, "Устройства", docs(web.webBase)); });
}

}
