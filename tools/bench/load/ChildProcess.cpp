#include "load/ChildProcess.h"
#include <arpa/inet.h>
#include <csignal>
#include <fcntl.h>
#include <netinet/in.h>
#include <random>
#include <sched.h>
#include <stdexcept>
#include <sys/socket.h>
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

sockaddr_in loopback(unsigned short port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

}

// Servers that cannot tell us which port they took get a free one found first. It is taken from
// below the kernel's range for outgoing connections (32768 and up by default): a port from that
// range can be taken by any client socket before the server binds it, often seconds later.
unsigned short freePort()
{
    thread_local std::mt19937 random(std::random_device{}());
    std::uniform_int_distribution<int> ports(20000, 32767);
    for (int attempt = 0; attempt < 100; ++attempt) {
        auto port = static_cast<unsigned short>(ports(random));
        int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        auto address = loopback(port);
        bool bound = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        ::close(fd);
        if (bound)
            return port;
    }
    throw std::runtime_error("no free loopback port");
}

bool accepts(unsigned short port)
{
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    auto address = loopback(port);
    bool connected = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return connected;
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
