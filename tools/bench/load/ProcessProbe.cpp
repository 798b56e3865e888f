#include "load/ProcessProbe.h"
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace tender::bench {
namespace {

std::int64_t fieldKb(const std::string& file, const std::string& key)
{
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(key, 0) == 0)
            return std::stoll(line.substr(key.size()));
    return 0;
}

std::int64_t tcpBufferPages()
{
    std::ifstream in("/proc/net/sockstat");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("TCP:", 0) != 0)
            continue;
        auto at = line.find(" mem ");
        return at == std::string::npos ? 0 : std::stoll(line.substr(at + 5));
    }
    return 0;
}

}

std::int64_t residentBytes(pid_t pid)
{
    return fieldKb("/proc/" + std::to_string(pid) + "/status", "VmRSS:") * 1024;
}

double cpuSeconds(pid_t pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto afterName = text.rfind(')');
    if (afterName == std::string::npos)
        return 0;
    std::istringstream fields(text.substr(afterName + 2));
    std::string skip;
    for (int i = 0; i < 11; ++i) // state ... cmajflt; utime and stime follow
        fields >> skip;
    double utime = 0, stime = 0;
    fields >> utime >> stime;
    return (utime + stime) / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

std::map<pid_t, double> cpuReading(const std::vector<pid_t>& pids)
{
    std::map<pid_t, double> reading;
    for (auto pid : pids)
        reading[pid] = cpuSeconds(pid);
    return reading;
}

double cpuSince(const std::map<pid_t, double>& before, const std::vector<pid_t>& pids)
{
    double used = 0;
    for (auto pid : pids) {
        auto earlier = before.find(pid);
        used += cpuSeconds(pid) - (earlier == before.end() ? 0 : earlier->second);
    }
    return used;
}

std::int64_t kernelNetworkBytes()
{
    return fieldKb("/proc/meminfo", "Slab:") * 1024 + tcpBufferPages() * ::sysconf(_SC_PAGESIZE);
}

}
