#pragma once
#include <atomic>
#include <boost/asio/awaitable.hpp>
#include <boost/asio/io_context.hpp>
#include <string>
#include <thread>

namespace tender::bench {

// `connections` clients from one loopback address, each sending bogus sign-ins on its own keep-alive
// connection as fast as they are answered, on a thread of their own, until stopped.
class Flood {
public:
    struct Counts {
        std::atomic<long> refusedAtOnce{0}; // TOO_MANY_ATTEMPTS_TRY_LATER or a refused connection
        std::atomic<long> checked{0};       // INVALID_LOGIN_CREDENTIALS: a password was checked
        std::atomic<long> other{0};
        std::atomic<long> connectionsLost{0};
    };

    Flood(unsigned short port, std::string source, int connections, const std::string& identityPath);
    ~Flood();
    void stop();
    const Counts& counts() const { return counts_; }

private:
    boost::asio::awaitable<void> client(int index);

    unsigned short port_;
    std::string source_;
    std::string target_;
    boost::asio::io_context io_;
    std::atomic<bool> stopping_{false};
    Counts counts_;
    std::thread thread_;
};

}
