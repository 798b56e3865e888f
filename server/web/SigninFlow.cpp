#include "web/SigninFlow.h"
#include "web/Page.h"
#include <algorithm>

namespace tender::server {

std::optional<std::string> signinState(const Form& form)
{
    if (!form.sound())
        return std::nullopt;
    auto found = form.fields.find("state");
    if (found == form.fields.end())
        return std::nullopt;
    const auto& state = found->second;
    bool clean = std::all_of(state.begin(), state.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-';
    });
    if (state.empty() || state.size() > 128 || !clean)
        return std::nullopt;
    return state;
}

Response signinNotStarted()
{
    return page(http::status::bad_request, "Вход",
        "<h1>Вход не начался</h1><p>Открой вход из приложения Tender ещё раз.</p>");
}

std::string signinProblem(const std::string& error)
{
    auto code = error.substr(0, error.find(' '));
    if (code == "INVALID_PASSWORD")
        return "Неверный пароль";
    if (code == "WEAK_PASSWORD")
        return "Пароль слишком простой";
    if (code == "INVALID_EMAIL" || code == "MISSING_EMAIL")
        return "Проверь адрес почты";
    if (code == "MISSING_PASSWORD")
        return "Введи пароль";
    if (code == "TOO_MANY_ATTEMPTS_TRY_LATER")
        return "Слишком много попыток, попробуй чуть позже";
    if (code == "USER_DISABLED")
        return "Этот аккаунт отключён";
    return "Не получилось войти (" + code + ")";
}

http::status signinStatus(const std::string& error)
{
    return error.starts_with("TOO_MANY_ATTEMPTS_TRY_LATER") ? http::status::too_many_requests
                                                             : http::status::bad_request;
}

}
