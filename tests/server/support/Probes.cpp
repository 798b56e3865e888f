#include "support/Probes.h"
#include <boost/asio/write.hpp>
#include <poll.h>
#include <sstream>
#include <thread>
#include <unistd.h>

namespace tender::testing {

namespace net = boost::asio;

RawSocket::RawSocket(unsigned short port, const std::string& source)
{
    socket_.open(net::ip::tcp::v4());
    socket_.bind({net::ip::make_address(source), 0});
    socket_.connect({net::ip::make_address("127.0.0.1"), port});
}

bool RawSocket::closedWithin(std::chrono::milliseconds wait)
{
    auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        using std::chrono::milliseconds;
        auto left = std::chrono::duration_cast<milliseconds>(deadline - std::chrono::steady_clock::now());
        pollfd p{socket_.native_handle(), POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(std::max<long>(0, left.count()))) <= 0)
            return false;
        char chunk[512];
        auto got = ::read(socket_.native_handle(), chunk, sizeof chunk);
        if (got <= 0)
            return true; // an answer before the end is read through
    }
}

int RawSocket::get(const std::string& target, const std::string& headers)
{
    auto request = "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" + headers + "\r\n";
    boost::system::error_code error;
    net::write(socket_, net::buffer(request), error);
    std::string answer;
    while (!error && answer.find("\r\n\r\n") == std::string::npos) {
        char chunk[512];
        answer.append(chunk, socket_.read_some(net::buffer(chunk), error));
    }
    return answer.starts_with("HTTP/1.1 ") ? std::stoi(answer.substr(9, 3)) : 0;
}

void RawSocket::post(const std::string& target, const std::string& body)
{
    auto request = "POST " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: "
        + std::to_string(body.size()) + "\r\n\r\n" + body;
    net::write(socket_, net::buffer(request));
}

std::map<std::string, double> readMetrics(const std::string& text)
{
    std::map<std::string, double> values;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        auto space = line.rfind(' ');
        if (line.empty() || line[0] == '#' || space == std::string::npos)
            continue;
        values[line.substr(0, space)] = std::stod(line.substr(space + 1));
    }
    return values;
}

bool eventually(const std::function<bool()>& condition, std::chrono::milliseconds limit)
{
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

}
