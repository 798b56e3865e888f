#pragma once
#include "load/Subscriber.h"
#include <boost/asio/steady_timer.hpp>
#include <cstdint>
#include <memory>
#include <vector>

namespace tender::bench {

// Every user's stream, pinging on its own 30-second phase, with counts of who is online.
class StreamFleet {
public:
    using MakeSubscriber = std::function<std::unique_ptr<Subscriber>(unsigned index, const StreamEvents& events)>;
    StreamFleet(boost::asio::any_io_executor executor, unsigned users, const MakeSubscriber& make, unsigned pingSeconds);

    // Opens the streams at `perSecond`, as users coming online over a short while would.
    void start(unsigned perSecond);
    void stop();

    unsigned size() const { return static_cast<unsigned>(clients_.size()); }
    unsigned onlineCount() const { return online_; }
    bool online(unsigned index) const { return clients_[index]->online(); }
    Subscriber& client(unsigned index) { return *clients_[index]; }
    std::uint64_t readyCount() const { return readies_; }
    std::uint64_t lostCount() const { return losses_; }

private:
    boost::asio::awaitable<void> openAll(unsigned perSecond);
    boost::asio::awaitable<void> pingForever();

    boost::asio::any_io_executor executor_;
    StreamEvents events_;
    std::vector<std::unique_ptr<Subscriber>> clients_;
    boost::asio::steady_timer ticker_;
    unsigned pingSeconds_;
    unsigned online_ = 0;
    std::uint64_t readies_ = 0;
    std::uint64_t losses_ = 0;
    bool stopping_ = false;
};

}
