#pragma once

#include <QCoroTask>
#include <QTimer>

#include <exception>
#include <optional>

namespace tender::test {

// Runs the event loop until `task` ends and hands back its value or rethrows its
// failure. A task still running after `timeoutMs` aborts the test: a hang must
// fail, not stall the run.
template<typename T>
T await(QCoro::Task<T> task, int timeoutMs = 10'000)
{
    std::conditional_t<std::is_void_v<T>, bool, std::optional<T>> value{};
    std::exception_ptr error;
    auto run = [&]() -> QCoro::Task<> {
        try {
            if constexpr (std::is_void_v<T>)
                co_await std::move(task);
            else
                value = co_await std::move(task);
        } catch (...) {
            error = std::current_exception();
        }
    };
    QObject deadline;
    QTimer::singleShot(timeoutMs, &deadline, [=] { qFatal("a task took longer than %d ms", timeoutMs); });
    QCoro::waitFor(run());
    if (error)
        std::rethrow_exception(error);
    if constexpr (!std::is_void_v<T>)
        return std::move(*value);
}

// The failure of type Error that `task` ends with; nothing when it succeeds.
template<typename Error, typename T>
std::optional<Error> failureOf(QCoro::Task<T> task)
{
    try {
        await(std::move(task));
    } catch (const Error &error) {
        return error;
    }
    return std::nullopt;
}

} // namespace tender::test
