#pragma once
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

namespace tender::server {

// Lines are appended to memory; a thread of its own writes what gathered to `fd` every 100 ms (sooner
// when a lot gathered), so no request waits for the log. When the log cannot keep up (a reader that
// stopped reading), at most `maxPending` bytes wait and later lines are dropped and counted; the count
// goes out as a line of its own once there is room again.
class LogWriter {
public:
    LogWriter(int fd, std::size_t maxPending);
    ~LogWriter();
    LogWriter(const LogWriter&) = delete;
    LogWriter& operator=(const LogWriter&) = delete;

    void append(std::string_view line);
    std::size_t pendingBytes();

private:
    static constexpr std::size_t flushBytes = 64 * 1024;

    void writeUntilStopped();
    void writeAll(const std::string& text);

    int fd_;
    std::size_t maxPending_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::string pending_;
    std::size_t dropped_ = 0;
    bool stopping_ = false;
    std::thread thread_;
};

}
