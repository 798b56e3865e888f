#pragma once
#include <filesystem>
#include <csignal>
#include <map>
#include <string>
#include <vector>
#include <sys/types.h>

namespace tender::testing {

using Environment = std::map<std::string, std::string>;

// The real tender-server on a free loopback port, with the given data directory.
class ServerProcess {
public:
    explicit ServerProcess(std::filesystem::path dataDir,
        const std::vector<std::string>& args = {"--dev-signin"}, const Environment& environment = {});
    ~ServerProcess() { stop(); }
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    unsigned short port() const { return port_; }
    std::string base() const { return "http://127.0.0.1:" + std::to_string(port_); }
    const std::filesystem::path& dataDir() const { return dataDir_; }
    // The first line it printed: where it listens.
    const std::string& firstLine() const { return firstLine_; }
    pid_t pid() const { return pid_; }
    // Sends `signal` (SIGKILL: gone at once, as in a crash), then gives the exit status (-1 when it was
    // killed by a signal or had to be).
    int stop(int signal = SIGTERM);

    // Runs the server with `args` after the usual loopback address and data directory (later flags
    // win), for starts that must fail: its exit status (-1: still running after 20 s, so killed) and
    // what it wrote on standard error.
    static std::pair<int, std::string> runExpectingExit(const std::filesystem::path& dataDir,
        const std::vector<std::string>& args, const Environment& environment = {});

private:
    std::filesystem::path dataDir_;
    std::string firstLine_;
    pid_t pid_ = -1;
    unsigned short port_ = 0;
};

}
