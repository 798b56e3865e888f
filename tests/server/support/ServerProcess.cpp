#include "support/ServerProcess.h"
#include "app/ListeningLine.h"
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace tender::testing {

ServerProcess::ServerProcess(std::filesystem::path dataDir, std::vector<std::string> extraArgs)
    : dataDir_(std::move(dataDir))
{
    std::vector<std::string> args = {TENDER_SERVER_BINARY, "--listen", "127.0.0.1:0", "--data", dataDir_.string(),
        "--threads", "2"};
    args.insert(args.end(), extraArgs.begin(), extraArgs.end());
    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
    auto log = (dataDir_.parent_path() / (dataDir_.filename().string() + ".log")).string();
    pid_ = ::fork();
    if (pid_ == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        int err = ::open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
        if (err >= 0)
            ::dup2(err, STDERR_FILENO);
        std::vector<char*> argv;
        for (auto& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    try {
        port_ = readListeningPort(out[0], std::chrono::seconds(20));
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

void ServerProcess::kill()
{
    if (pid_ <= 0)
        return;
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

ServerProcess::Ended ServerProcess::runExpectingExit(const std::filesystem::path& dataDir, std::vector<std::string> args)
{
    auto log = dataDir.string() + ".refused.log";
    args.insert(args.begin(), {TENDER_SERVER_BINARY, "--listen", "127.0.0.1:0", "--data", dataDir.string()});
    pid_t pid = ::fork();
    if (pid == 0) {
        int err = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(err, STDERR_FILENO);
        ::dup2(err, STDOUT_FILENO);
        std::vector<char*> argv;
        for (auto& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    for (int i = 0; i < 400 && ::waitpid(pid, &status, WNOHANG) != pid; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    if (::kill(pid, 0) == 0 && ::waitpid(pid, &status, WNOHANG) == 0) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
        return {-1, "still running after 20 s"};
    }
    std::ifstream in(log);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1,
        std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>())};
}

int ServerProcess::stop()
{
    if (pid_ <= 0)
        return -1;
    ::kill(pid_, SIGTERM);
    int status = 0;
    for (int i = 0; i < 200; ++i) {
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
    return -1;
}

}
