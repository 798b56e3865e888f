#pragma once
#include <chrono>
#include <string>

namespace tender::bench {

struct Answer {
    int status = 0; // 0: no answer (refused, reset, timed out)
    std::string body;
    double seconds = 0; // from connecting to the whole answer
};

// One request on a new connection from the loopback address `source`, as a client that has no
// connection open yet would make it; gives up after `limit`.
Answer timedCall(unsigned short port, const std::string& source, const std::string& method, const std::string& target,
    const std::string& body = {}, std::chrono::seconds limit = std::chrono::seconds(10));

// The identity call's JSON body for an e-mail and a password.
std::string passwordBody(const std::string& email, const std::string& password);

}
