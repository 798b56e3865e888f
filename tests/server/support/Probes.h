#pragma once
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <chrono>
#include <functional>
#include <map>
#include <string>

namespace tender::testing {

// A plain connection from a loopback address of its own, that says nothing unless told to.
class RawSocket {
public:
    RawSocket(unsigned short port, const std::string& source);
    // Whether the server closed it (or answered and closed) within `wait`.
    bool closedWithin(std::chrono::milliseconds wait = std::chrono::seconds(3));
    // Sends a GET with `headers` ("Name: value\r\n" each) and gives the answer's status, keeping the
    // connection (0: no answer).
    int get(const std::string& target, const std::string& headers = "");
    // Sends a POST and does not wait for the answer.
    void post(const std::string& target, const std::string& body);

private:
    boost::asio::io_context io_;
    boost::asio::ip::tcp::socket socket_{io_};
};

// The server's /metrics, one value per series ("name{labels}" as written).
std::map<std::string, double> readMetrics(const std::string& text);

// Polls `condition` until it holds or `limit` passes: for what the server does a moment after it answers.
bool eventually(const std::function<bool()>& condition,
    std::chrono::milliseconds limit = std::chrono::seconds(5));

}
