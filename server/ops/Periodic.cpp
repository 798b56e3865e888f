#include "ops/Periodic.h"
#include "common/Log.h"
#include <boost/asio/post.hpp>
#include <exception>

namespace tender::server {

namespace net = boost::asio;

Periodic::Periodic(net::any_io_executor timers, net::any_io_executor work, std::string name,
    std::chrono::milliseconds period, std::function<void()> task, Metrics& metrics)
    : timer_(std::move(timers))
    , work_(std::move(work))
    , name_(std::move(name))
    , period_(period)
    , task_(std::move(task))
    , failures_(metrics.counter("tender_background_failures_total", "Failed runs of background work, by task",
          {{"task", name_}}))
{
}

bool Periodic::runHere()
{
    try {
        task_();
        return true;
    } catch (const std::exception& error) {
        logLine(name_ + " failed, will try again: " + error.what());
    } catch (...) {
        logLine(name_ + " failed, will try again");
    }
    failures_.add();
    return false;
}

void Periodic::start()
{
    schedule();
}

void Periodic::stop()
{
    timer_.cancel();
}

void Periodic::schedule()
{
    timer_.expires_after(period_);
    timer_.async_wait([this](boost::system::error_code error) {
        if (error)
            return;
        if (!running_->exchange(true)) {
            net::post(work_, [this, running = running_] {
                runHere();
                running->store(false);
            });
        }
        schedule();
    });
}

}
