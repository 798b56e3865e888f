#include "load/SignalSender.h"
#include <boost/asio/as_tuple.hpp>
#include <boost/asio/co_spawn.hpp>
#include <boost/asio/detached.hpp>
#include <boost/asio/use_awaitable.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/core/tcp_stream.hpp>
#include <boost/beast/http.hpp>

namespace tender::bench {

namespace net = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
constexpr auto use = net::as_tuple(net::use_awaitable);

struct SignalSender::Worker {
    explicit Worker(net::any_io_executor executor)
        : wake(executor)
    {
    }
    net::steady_timer wake;
    bool idle = false;
};

SignalSender::SignalSender(net::any_io_executor executor, net::ip::tcp::endpoint server, const Population& population,
    const StreamFleet& fleet, Deliveries& deliveries, unsigned connections)
    : executor_(executor)
    , server_(server)
    , population_(population)
    , fleet_(fleet)
    , deliveries_(deliveries)
{
    for (unsigned i = 0; i < connections; ++i)
        workers_.push_back(std::make_unique<Worker>(executor));
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

std::optional<SignalSender::Job> SignalSender::pick(Clock::time_point due)
{
    const auto& lists = population_.lists;
    for (int attempt = 0; attempt < 8; ++attempt) {
        auto sender = static_cast<unsigned>(random_() % lists.size());
        const auto& entry = lists[sender][random_() % lists[sender].size()];
        if (fleet_.online(entry.target))
            return Job{sender, &entry, due};
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
    beast::tcp_stream stream(executor_);
    bool connected = false;
    beast::flat_buffer buffer;
    http::response<http::string_body> response;
    while (offering_ || !queue_.empty()) {
        if (queue_.empty()) {
            worker.idle = true;
            worker.wake.expires_at(Clock::time_point::max());
            co_await worker.wake.async_wait(use);
            worker.idle = false;
            continue;
        }
        if (!connected) {
            stream.expires_after(std::chrono::seconds(5));
            auto [error] = co_await stream.async_connect(server_, use);
            connected = !error;
            if (connected)
                stream.socket().set_option(net::ip::tcp::no_delay(true));
            if (!connected && !queue_.empty()) {
                // The server is down: what is due now fails, as it would for the app.
                auto job = queue_.front();
                queue_.pop_front();
                deliveries_.sent(job.entry->target, job.due);
                deliveries_.notAccepted(job.entry->target, job.due, true);
            }
            continue; // other workers may have emptied the queue meanwhile
        }
        auto job = queue_.front();
        queue_.pop_front();
        http::request<http::string_body> request{http::verb::post, "/v1/events", 11};
        request.set(http::field::host, "127.0.0.1");
        request.set(http::field::authorization, "Bearer " + population_.tokens[job.sender]);
        request.set(http::field::content_type, "application/json");
        request.body() = R"({"type":"signal","to":{"contact":")" + job.entry->contactId + "\"}}";
        request.prepare_payload();
        deliveries_.sent(job.entry->target, job.due);
        stream.expires_after(std::chrono::seconds(10));
        auto [writeError, written] = co_await http::async_write(stream, request, use);
        response = {};
        beast::error_code readError;
        if (!writeError) // no co_await inside a conditional expression: g++ 12 miscompiles it
            std::tie(readError, std::ignore) = co_await http::async_read(stream, buffer, response, use);
        if (writeError || readError) {
            deliveries_.notAccepted(job.entry->target, job.due, true);
            beast::error_code ignored;
            stream.socket().close(ignored);
            connected = false;
            buffer.clear();
        } else if (response.result() == http::status::accepted) {
            deliveries_.accepted();
        } else {
            deliveries_.notAccepted(job.entry->target, job.due, false);
        }
    }
    --running_;
}

}
