#include "platform/Clock.h"

#include <coroutine>

namespace tender {

namespace {

struct SleepAwaiter {
    Clock &clock;
    Milliseconds delay;
    std::unique_ptr<Timer> timer;

    bool await_ready() const noexcept { return false; }
    void await_suspend(std::coroutine_handle<> waiter) {
        timer = clock.singleShot(delay, [waiter] { waiter.resume(); });
    }
    void await_resume() const noexcept {}
};

} // namespace

QCoro::Task<> Clock::sleep(Milliseconds delay)
{
    co_await SleepAwaiter{*this, delay, nullptr};
}

} // namespace tender
