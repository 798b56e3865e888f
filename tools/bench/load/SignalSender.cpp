#include "load/SignalSender.h"
#include "load/Awaitable.h"
#include <boost/asio/as_tuple.hpp>
#include <boost/asio/co_spawn.hpp>
#include <boost/asio/detached.hpp>
#include <boost/asio/use_awaitable.hpp>

namespace tender::bench {

namespace net = boost::asio;

struct SignalSender::Worker {
    Worker(net::any_io_executor executor, std::unique_ptr<SignalLink> link)
        : wake(executor)
        , link(std::move(link))
    {
    }
    net::steady_timer wake;
    std::unique_ptr<SignalLink> link;
    bool idle = false;
};

SignalSender::SignalSender(net::any_io_executor executor, const Population& population, Online online,
    Deliveries& deliveries, unsigned connections, const MakeLink& makeLink)
    : executor_(executor)
    , population_(population)
    , online_(std::move(online))
    , deliveries_(deliveries)
{
    for (unsigned i = 0; i < connections; ++i)
        workers_.push_back(std::make_unique<Worker>(executor, makeLink()));
}

SignalSender::~SignalSender() = default;

net::awaitable<void> SignalSender::run(double rate, std::chrono::milliseconds duration)
{
    offering_ = true;
    running_ = static_cast<unsigned>(workers_.size());
    for (auto& worker : workers_)
        net::co_spawn(executor_, work(*worker), net::detached);
    co_await offer(rate, duration);
    offering_ = false;
    for (auto& worker : workers_)
        worker->wake.cancel();
    net::steady_timer poll(executor_);
    while (running_ > 0) {
        poll.expires_after(std::chrono::milliseconds(10));
        co_await poll.async_wait(use);
    }
}

net::awaitable<void> SignalSender::offer(double rate, std::chrono::milliseconds duration)
{
    auto start = Clock::now();
    auto end = start + duration;
    auto interval = std::chrono::duration<double>(1.0 / std::max(rate, 1e-9));
    std::size_t backlogLimit = static_cast<std::size_t>(std::max(1000.0, rate * 2));
    net::steady_timer timer(executor_);
    for (std::uint64_t i = 0; rate > 0;) {
        auto now = Clock::now();
        for (;; ++i) {
            auto due = start + std::chrono::duration_cast<Clock::duration>(interval * static_cast<double>(i));
            if (due > now || due >= end)
                break;
            ++offered_;
            auto job = pick(due);
            if (!job)
                continue;
            if (queue_.size() >= backlogLimit) {
                ++backlogDropped_; // the generator cannot hold more; the server is far behind
                continue;
            }
            queue_.push_back(*job);
            wakeOne();
        }
        auto next = start + std::chrono::duration_cast<Clock::duration>(interval * static_cast<double>(i));
        if (next >= end)
            break;
        timer.expires_at(next);
        co_await timer.async_wait(use);
    }
}

std::optional<Signal> SignalSender::pick(Clock::time_point due)
{
    const auto& lists = population_.lists;
    for (int attempt = 0; attempt < 8; ++attempt) {
        auto sender = static_cast<unsigned>(random_() % lists.size());
        const auto& entry = lists[sender][random_() % lists[sender].size()];
        if (online_(entry.target))
            return Signal{sender, &entry, due};
    }
    return std::nullopt;
}

unsigned SignalSender::flood(unsigned recipient, unsigned perSender)
{
    unsigned count = 0;
    auto now = Clock::now();
    for (unsigned sender = 0; sender < population_.lists.size(); ++sender)
        for (const auto& entry : population_.lists[sender])
            for (unsigned i = 0; entry.target == recipient && i < perSender; ++i, ++count) {
                queue_.push_back({sender, &entry, now});
                wakeOne();
            }
    return count;
}

void SignalSender::wakeOne()
{
    for (auto& worker : workers_)
        if (worker->idle) {
            worker->idle = false;
            worker->wake.cancel();
            return;
        }
}

net::awaitable<void> SignalSender::work(Worker& worker)
{
    while (offering_ || !queue_.empty()) {
        if (queue_.empty()) {
            worker.idle = true;
            worker.wake.expires_at(Clock::time_point::max());
            co_await worker.wake.async_wait(use);
            worker.idle = false;
            continue;
        }
        auto signal = queue_.front();
        queue_.pop_front();
        // Picked while online, but the stream broke while the signal waited for a free link: the
        // app would not have been sent it either.
        if (!online_(signal.entry->target)) {
            deliveries_.brokeBeforeSending();
            continue;
        }
        deliveries_.sent(signal.entry->target, signal.due);
        auto outcome = co_await worker.link->send(signal);
        if (outcome == SignalLink::Outcome::accepted)
            deliveries_.accepted();
        else
            deliveries_.notAccepted(signal.entry->target, signal.due, outcome == SignalLink::Outcome::failed);
    }
    --running_;
}

}
