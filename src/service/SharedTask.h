#pragma once

#include <QCoroTask>

#include <coroutine>
#include <exception>
#include <memory>
#include <optional>
#include <vector>

namespace tender {

// Runs one task and lets any number of coroutines await its result; each gets
// a copy of the value or the same exception. (A plain QCoro::Task hands later
// awaiters a moved-from value.)
template<typename T>
class SharedTask {
public:
    explicit SharedTask(QCoro::Task<T> task) : state_(std::make_shared<State>())
    {
        drive(state_, std::move(task));
    }

    bool isDone() const { return state_->done; }
    friend bool operator==(const SharedTask &a, const SharedTask &b) { return a.state_ == b.state_; }

    auto operator co_await() const
    {
        struct Awaiter {
            std::shared_ptr<State> state;
            bool await_ready() const noexcept { return state->done; }
            void await_suspend(std::coroutine_handle<> waiter) { state->waiters.push_back(waiter); }
            T await_resume() const
            {
                if (state->error)
                    std::rethrow_exception(state->error);
                return *state->value;
            }
        };
        return Awaiter{state_};
    }

private:
    struct State {
        std::optional<T> value;
        std::exception_ptr error;
        bool done = false;
        std::vector<std::coroutine_handle<>> waiters;
    };

    static QCoro::Task<> drive(std::shared_ptr<State> state, QCoro::Task<T> task)
    {
        try {
            state->value = co_await std::move(task);
        } catch (...) {
            state->error = std::current_exception();
        }
        state->done = true;
        for (std::coroutine_handle<> waiter : std::exchange(state->waiters, {}))
            waiter.resume();
    }

    std::shared_ptr<State> state_;
};

} // namespace tender
