#pragma once
#include "app/Service.h"
#include <filesystem>
#include <memory>
#include <string>

namespace tender::fuzz {

namespace http = server::http;

// The whole service with every route, on a real SQLite database in a temporary directory: one
// per process, so the database lives on from input to input. Inputs reach the signed-in parts
// through placeholders: "@user" stands for a person's identity token, "@device" for a device
// token of theirs, "@contact" for an entry of their list, "@invite" for another person's invite
// code and "@key" for the identity key.
class FuzzService {
public:
    static FuzzService& instance();
    ~FuzzService();

    server::Service& service() { return *service_; }
    std::string withSecrets(std::string_view input) const;
    // The request with the placeholders of its target, fields and body replaced, so that a length
    // it gives stays true of the bytes read.
    server::Request withSecrets(const server::Request& request) const;
    // Brings the person of the placeholders back when an earlier input removed them or theirs.
    void restore();
    // What the connection sends back for a request it read.
    server::Response answer(const server::Request& request);

private:
    FuzzService();
    server::Response call(http::verb method, const std::string& target, const std::string& body = {},
        const std::string& token = {});
    std::string callFor(const char* field, http::verb method, const std::string& target, const std::string& body,
        const std::string& token = {});
    std::string signUp(const std::string& email);
    void addPerson();

    std::filesystem::path dir_;
    std::unique_ptr<server::Service> service_;
    std::string identityKey_;
    std::string inviteCode_;
    std::string userToken_;
    std::string deviceToken_;
    std::string contactId_;
    int people_ = 0;
};

}
