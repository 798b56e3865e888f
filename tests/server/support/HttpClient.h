#pragma once
#include <boost/json/value.hpp>
#include <map>
#include <string>

namespace tender::testing {

struct HttpResult {
    int status = 0; // 0: no answer
    std::string body;
    std::map<std::string, std::string> headers; // names in lower case

    boost::json::value json() const;
    // The "error" string of a REST refusal, or of the identity provider's {"error":{"message"}}.
    std::string error() const;
};

// A blocking HTTP/1.1 client for tests; every exchange has a 15-second limit.
class HttpClient {
public:
    explicit HttpClient(unsigned short port) : port_(port) {}

    HttpResult send(const std::string& method, const std::string& target, const std::string& body = "",
        const std::string& bearer = "", const std::string& contentType = "application/json") const;

    HttpResult get(const std::string& target, const std::string& bearer = "") const;
    HttpResult post(const std::string& target, const boost::json::value& body, const std::string& bearer = "") const;
    HttpResult patch(const std::string& target, const boost::json::value& body, const std::string& bearer = "") const;
    HttpResult del(const std::string& target, const std::string& bearer = "") const;

    unsigned short port() const { return port_; }

private:
    unsigned short port_;
};

}
