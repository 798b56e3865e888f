#include "common/Log.h"
#include "common/Time.h"
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>

namespace tender::server {
namespace {

// Requests append to memory; one thread writes what gathered every 100 ms (sooner when a lot
// gathered), so no request waits for stderr or for another request's write.
class LogWriter {
public:
    LogWriter()
        : thread_([this] { writeUntilStopped(); })
    {
    }

    ~LogWriter()
    {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_one();
        thread_.join();
    }

    void append(std::string_view line)
    {
        auto stamp = isoTime(nowMs());
        bool large;
        {
            std::lock_guard lock(mutex_);
            pending_.append(stamp).append(" ").append(line).append("\n");
            large = pending_.size() >= flushBytes;
        }
        if (large)
            wake_.notify_one();
    }

private:
    static constexpr std::size_t flushBytes = 64 * 1024;

    void writeUntilStopped()
    {
        std::string writing;
        std::unique_lock lock(mutex_);
        for (;;) {
            wake_.wait_for(lock, std::chrono::milliseconds(100),
                [this] { return stopping_ || pending_.size() >= flushBytes; });
            bool last = stopping_;
            writing.swap(pending_);
            lock.unlock();
            std::fwrite(writing.data(), 1, writing.size(), stderr);
            std::fflush(stderr);
            writing.clear();
            if (last)
                return;
            lock.lock();
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::string pending_;
    bool stopping_ = false;
    std::thread thread_;
};

}

void logLine(std::string_view line)
{
    static LogWriter writer;
    writer.append(line);
}

}
