#include "web/Page.h"
#include "http/Responses.h"

namespace tender::server {
namespace {

constexpr std::string_view style = R"css(
body{margin:0;background:#f6f1ec;color:#2b2420;font:16px/1.5 system-ui,-apple-system,"Segoe UI",sans-serif}
main{max-width:36rem;margin:3rem auto;padding:2rem;background:#fff;border-radius:18px;box-shadow:0 2px 18px #0001}
h1{font-size:1.5rem;margin:0 0 1rem}h2{font-size:1.1rem;margin:1.5rem 0 .5rem}
.heart{color:#e8506a;font-size:2rem}.muted{color:#7a6f68;font-size:.9rem}.error{color:#c0392b}
a.button,button{display:inline-block;background:#e8506a;color:#fff;border:0;border-radius:10px;padding:.6rem 1.2rem;
font:inherit;text-decoration:none;cursor:pointer}
input{font:inherit;padding:.5rem .7rem;border:1px solid #d9cfc8;border-radius:8px;width:100%;box-sizing:border-box;margin:.3rem 0 1rem}
pre{background:#f3eeea;padding:.8rem;border-radius:8px;overflow-x:auto;font-size:.85rem}code{font-size:.9em}
)css";

}

std::string escapeHtml(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&#39;"; break;
        default: out += c;
        }
    }
    return out;
}

Response page(http::status status, std::string_view title, std::string_view body)
{
    std::string html = "<!doctype html><html lang=\"ru\"><head><meta charset=\"utf-8\">"
                       "<meta name=\"viewport\" content=\"width=device-width,initial-scale=1\"><title>";
    html += escapeHtml(title);
    html += " · Tender</title><style>";
    html += style;
    html += "</style></head><body><main>";
    html += body;
    html += "</main></body></html>";
    return htmlResponse(status, std::move(html));
}

}
