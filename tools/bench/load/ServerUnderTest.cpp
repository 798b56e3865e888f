#include "load/ServerUnderTest.h"
#include "app/ListeningLine.h"
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sched.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace tender::bench {
namespace {

[[noreturn]] void execServer(const std::vector<std::string>& args, int cpu, int out)
{
    if (cpu >= 0) {
        cpu_set_t set;
        CPU_ZERO(&set);
        CPU_SET(cpu, &set);
        ::sched_setaffinity(0, sizeof set, &set);
    }
    ::dup2(out, STDOUT_FILENO);
    int devNull = ::open("/dev/null", O_WRONLY);
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

ServerUnderTest::ServerUnderTest(std::string binary, std::filesystem::path dataDir, unsigned threads, int cpu)
    : binary_(std::move(binary))
    , dataDir_(std::move(dataDir))
    , threads_(threads)
    , cpu_(cpu)
{
}

ServerUnderTest::~ServerUnderTest()
{
    if (pid_ > 0)
        killHard();
}

void ServerUnderTest::start()
{
    std::vector<std::string> args{binary_, "--listen", "127.0.0.1:" + std::to_string(port_), "--data",
        dataDir_.string(), "--threads", std::to_string(threads_)};
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        throw std::runtime_error("pipe failed");
    pid_ = ::fork();
    if (pid_ < 0)
        throw std::runtime_error("fork failed");
    if (pid_ == 0) {
        ::close(pipeEnds[0]);
        execServer(args, cpu_, pipeEnds[1]);
    }
    ::close(pipeEnds[1]);
    try {
        port_ = readListeningPort(pipeEnds[0], std::chrono::seconds(30));
    } catch (...) {
        ::close(pipeEnds[0]);
        killHard();
        throw;
    }
    ::close(pipeEnds[0]);
}

void ServerUnderTest::killHard()
{
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

void ServerUnderTest::stop()
{
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

}
