#include "load/StreamFleet.h"
#include "load/Awaitable.h"
#include <boost/asio/as_tuple.hpp>
#include <boost/asio/co_spawn.hpp>
#include <boost/asio/detached.hpp>
#include <boost/asio/use_awaitable.hpp>

namespace tender::bench {

namespace net = boost::asio;

StreamFleet::StreamFleet(net::any_io_executor executor, unsigned users, const MakeSubscriber& make, unsigned pingSeconds)
    : executor_(executor)
    , ticker_(executor)
    , pingSeconds_(pingSeconds)
{
    events_.ready = [this](unsigned) { ++online_, ++readies_; };
    events_.lost = [this](unsigned) { --online_, ++losses_; };
    for (unsigned i = 0; i < users; ++i)
        clients_.push_back(make(i, events_));
}

void StreamFleet::start(unsigned perSecond)
{
    net::co_spawn(executor_, openAll(perSecond), net::detached);
    net::co_spawn(executor_, pingForever(), net::detached);
}

net::awaitable<void> StreamFleet::openAll(unsigned perSecond)
{
    constexpr unsigned batchesPerSecond = 50;
    unsigned batch = std::max(1u, perSecond / batchesPerSecond);
    net::steady_timer pause(executor_);
    for (unsigned i = 0; i < clients_.size() && !stopping_; ++i) {
        net::co_spawn(executor_, clients_[i]->run(), net::detached);
        if ((i + 1) % batch == 0) {
            pause.expires_after(std::chrono::milliseconds(1000 / batchesPerSecond));
            co_await pause.async_wait(use);
        }
    }
}

// Every 100 ms pings the streams whose phase it is, so every stream pings every `pingSeconds`.
// Apps ping at their own moments: a whole second's pings sent at once would be a burst no real
// crowd makes, and it would sit in the latency of the signals behind it.
net::awaitable<void> StreamFleet::pingForever()
{
    constexpr unsigned ticksPerSecond = 10;
    const std::size_t phases = std::size_t{pingSeconds_} * ticksPerSecond;
    for (std::size_t tick = 0; !stopping_; ++tick) {
        ticker_.expires_after(std::chrono::milliseconds(1000 / ticksPerSecond));
        co_await ticker_.async_wait(use);
        if (stopping_)
            break;
        for (std::size_t i = tick % phases; i < clients_.size(); i += phases)
            clients_[i]->ping();
    }
}

void StreamFleet::stop()
{
    stopping_ = true;
    ticker_.cancel();
    for (auto& client : clients_)
        client->stop();
}

}
