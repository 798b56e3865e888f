#include "common/LogWriter.h"
#include "common/Time.h"
#include <cerrno>
#include <chrono>
#include <unistd.h>

namespace tender::server {

LogWriter::LogWriter(int fd, std::size_t maxPending)
    : fd_(fd)
    , maxPending_(maxPending)
    , thread_([this] { writeUntilStopped(); })
{
}

LogWriter::~LogWriter()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

void LogWriter::append(std::string_view line)
{
    auto stamp = isoTime(nowMs());
    bool large;
    {
        std::lock_guard lock(mutex_);
        if (pending_.size() + stamp.size() + line.size() + 2 > maxPending_) {
            ++dropped_;
            return;
        }
        if (dropped_) {
            pending_.append(stamp).append(" ").append(std::to_string(dropped_)).append(" log lines dropped\n");
            dropped_ = 0;
        }
        pending_.append(stamp).append(" ").append(line).append("\n");
        large = pending_.size() >= flushBytes;
    }
    if (large)
        wake_.notify_one();
}

std::size_t LogWriter::pendingBytes()
{
    std::lock_guard lock(mutex_);
    return pending_.size();
}

void LogWriter::writeAll(const std::string& text)
{
    std::size_t done = 0;
    while (done < text.size()) {
        auto wrote = ::write(fd_, text.data() + done, text.size() - done);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0)
            return; // the log is gone: nothing better to do with the lines
        done += static_cast<std::size_t>(wrote);
    }
}

void LogWriter::writeUntilStopped()
{
    std::string writing;
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait_for(lock, std::chrono::milliseconds(100),
            [this] { return stopping_ || pending_.size() >= flushBytes; });
        bool last = stopping_;
        writing.swap(pending_);
        lock.unlock();
        writeAll(writing);
        writing.clear();
        if (last)
            return;
        lock.lock();
    }
}

}
