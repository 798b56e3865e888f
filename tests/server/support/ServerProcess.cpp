#include "support/ServerProcess.h"
#include "app/ListeningLine.h"
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace tender::testing {
namespace {

// Starts tender-server on loopback with `dataDir` and then `args` (later flags win), standard output
// to `out` and standard error to `errors`.
pid_t spawn(const std::filesystem::path& dataDir, const std::vector<std::string>& args,
    const Environment& environment, int out, const std::string& errors)
{
    std::vector<std::string> line{
        TENDER_SERVER_BINARY, "--listen", "127.0.0.1:0", "--data", dataDir.string(), "--threads", "2"};
    line.insert(line.end(), args.begin(), args.end());
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
    for (auto& word : line)
        argv.push_back(word.data());
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

}

ServerProcess::ServerProcess(std::filesystem::path dataDir, const std::vector<std::string>& args,
    const Environment& environment)
    : dataDir_(std::move(dataDir))
{
    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
    pid_ = spawn(dataDir_, args, environment, out[1], dataDir_.string() + ".log");
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

int ServerProcess::stop(int signal)
{
    if (pid_ <= 0)
        return -1;
    ::kill(pid_, signal);
    return waitFor(std::exchange(pid_, -1), std::chrono::seconds(10));
}

std::pair<int, std::string> ServerProcess::runExpectingExit(const std::filesystem::path& dataDir,
    const std::vector<std::string>& args, const Environment& environment)
{
    auto log = dataDir.string() + ".refused.log";
    std::filesystem::remove(log);
    int devNull = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    int status = waitFor(spawn(dataDir, args, environment, devNull, log), std::chrono::seconds(20));
    ::close(devNull);
    std::ifstream in(log);
    return {status, std::string(std::istreambuf_iterator<char>(in), {})};
}

}
