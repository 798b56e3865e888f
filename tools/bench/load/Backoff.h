#pragma once
#include <boost/asio/as_tuple.hpp>
#include <boost/asio/awaitable.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/asio/use_awaitable.hpp>
#include <algorithm>
#include <chrono>

namespace tender::bench {

// The app's reconnection back-off: 1, 2, 4 … 60 s, without jitter.
class Backoff {
public:
    explicit Backoff(const boost::asio::any_io_executor& executor) : timer_(executor) {}

    boost::asio::awaitable<void> wait()
    {
        timer_.expires_after(std::chrono::milliseconds(static_cast<int>(seconds_ * 1000)));
        seconds_ = std::min(2 * seconds_, 60.0);
        co_await timer_.async_wait(boost::asio::as_tuple(boost::asio::use_awaitable));
    }
    void reset() { seconds_ = 1; }
    void cancel() { timer_.cancel(); }

private:
    boost::asio::steady_timer timer_;
    double seconds_ = 1;
};

}
