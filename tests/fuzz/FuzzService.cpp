#include "FuzzService.h"
#include "FuzzTarget.h"
#include "common/Json.h"
#include "http/Exchange.h"

namespace tender::fuzz {

FuzzService& FuzzService::instance()
{
    static FuzzService one;
    return one;
}

// Under TMPDIR when it is set, else on tmpfs where there is one: the service syncs every write, and
// inputs write a lot.
FuzzService::FuzzService()
    : dir_(!std::getenv("TMPDIR") && std::filesystem::is_directory("/dev/shm")
            ? std::filesystem::path("/dev/shm") : std::filesystem::temp_directory_path())
{
    server::Options options;
    options.dataDir = dir_.path();
    identityKey_ = options.identityKey;
    service_ = std::make_unique<server::Service>(options);
    service_->addRoutes("http://127.0.0.1:8787");
    watch_ = std::make_unique<SQLite::Database>((dir_.path() / "tender.db").string());
    otherToken_ = signUp("other@example.org");
    inviteCode_ = inviteCodeOf(otherToken_);
    // The other person's own entry points at a third, so that nothing the first does may change it.
    otherContact_ = callFor("/id", http::verb::post, "/v1/contacts",
        R"({"code":")" + inviteCodeOf(signUp("third@example.org")) + R"(","label":"Third"})", otherToken_);
    otherDevice_ = callFor("/device/id", http::verb::post, "/v1/devices",
        R"({"name":"Lamp","capabilities":["receive"]})", otherToken_);
    othersView_ = othersView();
    addPerson();
}

std::string FuzzService::withSecrets(std::string_view input) const
{
    std::string text(input);
    const std::pair<std::string_view, const std::string*> secrets[] = {{"@othercontact", &otherContact_},
        {"@otherdevice", &otherDevice_}, {"@user", &userToken_}, {"@device", &deviceToken_},
        {"@contact", &contactId_}, {"@invite", &inviteCode_}, {"@key", &identityKey_}};
    for (auto [name, value] : secrets)
        for (auto at = text.find(name); at != std::string::npos; at = text.find(name, at + value->size()))
            text.replace(at, name.size(), *value);
    return text;
}

server::Request FuzzService::withSecrets(const server::Request& request) const
{
    server::Request replaced{request.method(), withSecrets(request.target()), request.version()};
    replaced.method_string(request.method_string());
    for (const auto& field : request)
        replaced.insert(field.name_string(), withSecrets(field.value()));
    replaced.body() = withSecrets(request.body());
    return replaced;
}

void FuzzService::restore()
{
    bool whole = call(http::verb::get, "/v1/me", "", userToken_).result() == http::status::ok
        && call(http::verb::get, "/v1/me", "", deviceToken_).result() == http::status::forbidden
        && call(http::verb::get, "/v1/contacts", "", userToken_).body().find(contactId_) != std::string::npos;
    if (whole)
        return;
    call(http::verb::delete_, "/v1/me", "", userToken_);
    addPerson();
}

server::Response FuzzService::answer(const server::Request& request, const std::string& client)
{
    auto& gate = service_->gate();
    if (server::opensStream(request, gate)) {
        auto admitted = gate.admit(request);
        if (std::holds_alternative<server::Admission>(admitted))
            return server::Response{http::status::switching_protocols, request.version()};
        auto& refusal = std::get<server::Response>(admitted);
        refusal.keep_alive(false);
        return refusal;
    }
    auto& router = service_->router();
    auto routed = router.handle(request, router.find(request), client);
    server::prepareAnswer(routed.response, request);
    return std::move(routed.response);
}

std::string FuzzService::othersView()
{
    return call(http::verb::get, "/v1/contacts", "", otherToken_).body()
        + call(http::verb::get, "/v1/devices", "", otherToken_).body();
}

server::Response FuzzService::call(http::verb method, const std::string& target, const std::string& body,
    const std::string& token)
{
    server::Request request{method, target, 11};
    if (!token.empty())
        request.set(http::field::authorization, "Bearer " + token);
    request.body() = body;
    request.prepare_payload();
    // From an address of its own: setting up again and again must not run into the service's throttles.
    return answer(request, "2001:db8:ffff::" + std::to_string(++calls_));
}

// One string of a call's JSON answer, found by its JSON pointer; setting up must succeed.
std::string FuzzService::callFor(const char* pointer, http::verb method, const std::string& target,
    const std::string& body, const std::string& token)
{
    auto answer = call(method, target, body, token);
    boost::system::error_code error;
    auto parsed = server::json::parse(answer.body(), error);
    auto value = error ? nullptr : parsed.find_pointer(pointer, error);
    expect(value && value->is_string(), target + " answered " + answer.body());
    return std::string(value->as_string());
}

std::string FuzzService::signUp(const std::string& email)
{
    return callFor("/idToken", http::verb::post, "/identitytoolkit/v1/accounts:signUp?key=" + identityKey_,
        R"({"email":")" + email + R"(","password":"fuzz-password"})");
}

std::string FuzzService::inviteCodeOf(const std::string& token)
{
    auto url = callFor("/invite_url", http::verb::get, "/v1/me", "", token);
    return url.substr(url.rfind('/') + 1);
}

void FuzzService::addPerson()
{
    userToken_ = signUp("person-" + std::to_string(++people_) + "@example.org");
    deviceToken_ = callFor("/token", http::verb::post, "/v1/devices",
        R"({"name":"Lamp","capabilities":["receive","send"]})", userToken_);
    contactId_ = callFor("/id", http::verb::post, "/v1/contacts",
        R"({"code":")" + inviteCode_ + R"(","label":"Friend"})", userToken_);
}

}
