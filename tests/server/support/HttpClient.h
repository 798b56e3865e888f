#pragma once
#include <boost/json/serialize.hpp>
#include <boost/json/value.hpp>
#include <map>
#include <string>

namespace tender::testing {

struct HttpResult {
    int status = 0; // 0: no answer
    std::string body;
    std::map<std::string, std::string> headers; // names in lower case

    boost::json::value json() const;
    // The string at `pointer` in the JSON body ("/device/id"), or "" when there is none.
    std::string field(std::string_view pointer) const;
    // The "error" string of a REST refusal, or of the identity provider's {"error":{"message"}}.
    std::string error() const;
    // The status and the error together ("400 INVALID_EMAIL"), for refusals checked in one comparison.
    std::string outcome() const { return std::to_string(status) + " " + error(); }
};

// A blocking HTTP/1.1 client for tests; every exchange has a 15-second limit. `source` is the loopback
// address it connects from, so that tests can play several clients.
class HttpClient {
public:
    using Json = boost::json::value;
    explicit HttpClient(unsigned short port, std::string source = "127.0.0.1")
        : port_(port), source_(std::move(source))
    {
    }

    HttpResult send(const std::string& method, const std::string& target, const std::string& body = "",
        const std::string& bearer = "", const std::string& contentType = "application/json") const;
    HttpResult get(const std::string& target, const std::string& bearer = "") const
    {
        return send("GET", target, "", bearer);
    }
    HttpResult post(const std::string& target, const Json& body, const std::string& bearer = "") const
    {
        return send("POST", target, boost::json::serialize(body), bearer);
    }
    HttpResult patch(const std::string& target, const Json& body, const std::string& bearer = "") const
    {
        return send("PATCH", target, boost::json::serialize(body), bearer);
    }
    HttpResult del(const std::string& target, const std::string& bearer = "") const
    {
        return send("DELETE", target, "", bearer);
    }
    // A form as a browser posts it.
    HttpResult postForm(const std::string& target, const std::map<std::string, std::string>& fields) const;

    unsigned short port() const { return port_; }

private:
    unsigned short port_;
    std::string source_;
};

// application/x-www-form-urlencoded, as browsers write it.
std::string formBody(const std::map<std::string, std::string>& fields);

}
