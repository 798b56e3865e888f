#pragma once
#include "app/Service.h"
#include "support/TempDir.h"
#include <SQLiteCpp/Database.h>
#include <memory>
#include <string>

namespace tender::fuzz {

namespace http = server::http;

// The whole service with every route, on a real SQLite database in a temporary directory: one
// per process, so the database lives on from input to input. Inputs reach the signed-in parts
// through placeholders: "@user" stands for a person's identity token, "@device" for a device
// token of theirs, "@contact" for an entry of their list, "@invite" for another person's invite
// code, "@othercontact" and "@otherdevice" for that other person's entry and device, and "@key"
// for the identity key.
class FuzzService {
public:
    static FuzzService& instance();

    server::Service& service() { return *service_; }
    std::string withSecrets(std::string_view input) const;
    // The request with the placeholders of its target, fields and body replaced, so that a length
    // it gives stays true of the bytes read.
    server::Request withSecrets(const server::Request& request) const;
    // Brings the person of the placeholders back when an earlier input removed them or theirs.
    void restore();
    // What the connection sends back for a request it read from `client` (an address).
    server::Response answer(const server::Request& request, const std::string& client);

    // Moves on whenever the service commits a change to the database.
    std::int64_t databaseVersion() { return watch_->execAndGet("PRAGMA data_version").getInt64(); }
    // The other person's list and devices are as they were: no input reaches them.
    bool othersUntouched() { return othersView() == othersView_; }

private:
    FuzzService();
    server::Response call(http::verb method, const std::string& target, const std::string& body = {},
        const std::string& token = {});
    std::string callFor(const char* pointer, http::verb method, const std::string& target,
        const std::string& body, const std::string& token = {});
    std::string signUp(const std::string& email);
    std::string inviteCodeOf(const std::string& token);
    std::string othersView();
    void addPerson();

    testing::TempDir dir_;
    std::unique_ptr<server::Service> service_;
    std::unique_ptr<SQLite::Database> watch_;
    std::string identityKey_;
    std::string otherToken_, inviteCode_, otherContact_, otherDevice_, othersView_;
    std::string userToken_, deviceToken_, contactId_;
    int people_ = 0;
    std::uint64_t calls_ = 0;
};

}
