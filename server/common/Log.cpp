#include "common/Log.h"
#include "common/Time.h"
#include <cstdio>
#include <mutex>
#include <string>

namespace tender::server {

void logLine(std::string_view line)
{
    static std::mutex mutex;
    std::string text = isoTime(nowMs()) + " " + std::string(line) + "\n";
    std::lock_guard lock(mutex);
    std::fwrite(text.data(), 1, text.size(), stderr);
}

}
