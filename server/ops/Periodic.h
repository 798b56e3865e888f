#pragma once
#include "ops/Metrics.h"
#include <boost/asio/any_io_executor.hpp>
#include <boost/asio/steady_timer.hpp>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>

namespace tender::server {

// Background work done again and again: every `period` the task is handed to `work` (never the event
// loop's threads). A failure is logged and counted and the task simply runs again next time: background
// work never ends the process. A run still going when the next is due is not doubled.
class Periodic {
public:
    Periodic(boost::asio::any_io_executor timers, boost::asio::any_io_executor work, std::string name,
        std::chrono::milliseconds period, std::function<void()> task, Metrics& metrics);
    void start();
    void stop();
    // Runs the task once, here and now, with the same guard; false when it failed.
    bool runHere();

private:
    void schedule();

    boost::asio::steady_timer timer_;
    boost::asio::any_io_executor work_;
    std::string name_;
    std::chrono::milliseconds period_;
    std::function<void()> task_;
    Counter& failures_;
    std::shared_ptr<std::atomic<bool>> running_ = std::make_shared<std::atomic<bool>>(false);
};

}
