#pragma once
#include <boost/asio/awaitable.hpp>
#include <functional>
#include <string>

namespace tender::bench {

struct StreamEvents {
    std::function<void(unsigned)> ready;
    std::function<void(unsigned)> lost;
};

// One user's connection that receives their signals, whatever the server under test speaks.
class Subscriber {
public:
    virtual ~Subscriber() = default;
    // Connects, and after any failure reconnects like the app, until stop().
    virtual boost::asio::awaitable<void> run() = 0;
    virtual void ping() = 0;
    virtual void stop() = 0;
    virtual bool online() const = 0;
    // The node that holds the stream, where a balancer names it; empty otherwise.
    virtual const std::string& node() const
    {
        static const std::string none;
        return none;
    }
};

}
