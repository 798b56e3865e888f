#pragma once
#include <atomic>
#include <boost/asio/any_io_executor.hpp>
#include <boost/asio/awaitable.hpp>
#include <boost/asio/co_spawn.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/use_awaitable.hpp>
#include <optional>

namespace tender::server {

// Threads where requests that wait on a database over the network run, away from the event loop,
// with a bound on how many may wait for them: past it a request is answered at once.
class BlockingWork {
public:
    BlockingWork(boost::asio::any_io_executor executor, std::size_t limit)
        : executor_(std::move(executor))
        , limit_(limit)
    {
    }

    // `work()`'s result, or nothing when too many wait already.
    template <typename Work>
    auto run(Work work) -> boost::asio::awaitable<std::optional<decltype(work())>>
    {
        using Result = decltype(work());
        if (waiting_.fetch_add(1) >= limit_) {
            --waiting_;
            co_return std::nullopt;
        }
        struct Leave {
            std::atomic<std::size_t>& count;
            ~Leave() { --count; }
        } leave{waiting_};
        co_return co_await boost::asio::co_spawn(executor_,
            [&]() -> boost::asio::awaitable<Result> { co_return work(); }, boost::asio::use_awaitable);
    }

    // Work that nobody waits for.
    template <typename Work>
    void post(Work work)
    {
        boost::asio::post(executor_, std::move(work));
    }

private:
    boost::asio::any_io_executor executor_;
    std::size_t limit_;
    std::atomic<std::size_t> waiting_{0};
};

}
