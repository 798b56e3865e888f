#include "support/ServerProcess.h"
#include "app/ListeningLine.h"
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace tender::testing {
namespace {

// Starts tender-server with `args`, standard output to `out` and standard error to `errors`.
pid_t spawn(std::vector<std::string> args, const Environment& environment, int out, const std::string& errors)
{
    args.insert(args.begin(), TENDER_SERVER_BINARY);
    pid_t pid = ::fork();
    if (pid != 0)
        return pid;
    ::dup2(out, STDOUT_FILENO);
    int err = ::open(errors.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    if (err >= 0)
        ::dup2(err, STDERR_FILENO);
    for (const auto& [name, value] : environment)
        ::setenv(name.c_str(), value.c_str(), 1);
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    ::execv(argv[0], argv.data());
    ::_exit(127);
}

// Its exit status, or -1 after killing it when it outlives `limit`.
int waitFor(pid_t pid, std::chrono::milliseconds limit)
{
    int status = 0;
    using std::chrono::milliseconds;
    for (auto waited = milliseconds(0); waited < limit; waited += milliseconds(50)) {
        if (::waitpid(pid, &status, WNOHANG) == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        std::this_thread::sleep_for(milliseconds(50));
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
    return -1;
}

std::vector<std::string> usualArgs(const std::filesystem::path& dataDir)
{
    return {"--listen", "127.0.0.1:0", "--data", dataDir.string()};
}

}

ServerProcess::ServerProcess(std::filesystem::path dataDir, std::vector<std::string> extraArgs,
    const Environment& environment)
    : dataDir_(std::move(dataDir))
{
    auto args = usualArgs(dataDir_);
    args.insert(args.end(), {"--threads", "2"});
    args.insert(args.end(), extraArgs.begin(), extraArgs.end());
    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
    pid_ = spawn(args, environment, out[1], dataDir_.string() + ".log");
    ::close(out[1]);
    try {
        firstLine_ = readListeningLine(out[0], std::chrono::seconds(20));
        port_ = portIn(firstLine_);
    } catch (...) {
        ::close(out[0]);
        stop();
        throw;
    }
    ::close(out[0]);
}

ServerProcess::~ServerProcess()
{
    stop();
}

int ServerProcess::stop(int signal)
{
    if (pid_ <= 0)
        return -1;
    ::kill(pid_, signal);
    int status = waitFor(pid_, std::chrono::seconds(10));
    pid_ = -1;
    return status;
}

ServerProcess::Ended ServerProcess::runExpectingExit(const std::filesystem::path& dataDir,
    std::vector<std::string> args, const Environment& environment)
{
    auto log = dataDir.string() + ".refused.log";
    std::filesystem::remove(log);
    auto usual = usualArgs(dataDir);
    args.insert(args.begin(), usual.begin(), usual.end());
    int devNull = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    Ended ended{waitFor(spawn(args, environment, devNull, log), std::chrono::seconds(20)), ""};
    ::close(devNull);
    std::ifstream in(log);
    ended.log.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return ended;
}

}
