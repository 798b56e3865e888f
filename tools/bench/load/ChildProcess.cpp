#include "load/ChildProcess.h"
#include <csignal>
#include <fcntl.h>
#include <sched.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace tender::bench {
namespace {

[[noreturn]] void exec(const std::vector<std::string>& args, int cpu, int out)
{
    if (cpu >= 0) {
        cpu_set_t set;
        CPU_ZERO(&set);
        CPU_SET(cpu, &set);
        ::sched_setaffinity(0, sizeof set, &set);
    }
    int devNull = ::open("/dev/null", O_WRONLY);
    ::dup2(out >= 0 ? out : devNull, STDOUT_FILENO);
    ::dup2(devNull, STDERR_FILENO); // one log line per request: not what we measure
    // A restart happens while we hold thousands of client sockets: the server must not inherit them.
    ::close_range(3, ~0U, 0);
    std::vector<char*> argv;
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(argv[0], argv.data());
    ::_exit(127);
}

}

pid_t spawnPinned(const std::vector<std::string>& args, int cpu, int out)
{
    pid_t pid = ::fork();
    if (pid < 0)
        throw std::runtime_error("fork failed");
    if (pid == 0)
        exec(args, cpu, out);
    return pid;
}

void killAndReap(pid_t pid, int signal)
{
    if (pid <= 0)
        return;
    ::kill(pid, signal);
    ::waitpid(pid, nullptr, 0);
}

}
