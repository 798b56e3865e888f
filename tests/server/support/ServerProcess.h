#pragma once
#include <filesystem>
#include <string>
#include <vector>
#include <sys/types.h>

namespace tender::testing {

// The real tender-server on a free loopback port, with the given data directory.
class ServerProcess {
public:
    explicit ServerProcess(std::filesystem::path dataDir, std::vector<std::string> extraArgs = {"--dev-signin"});
    ~ServerProcess();
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    unsigned short port() const { return port_; }
    std::string base() const { return "http://127.0.0.1:" + std::to_string(port_); }
    const std::filesystem::path& dataDir() const { return dataDir_; }
    // SIGTERM, then the exit status (-1 when it had to be killed).
    int stop();
    // SIGKILL: gone at once, as in a crash.
    void kill();

    struct Ended {
        int status;
        std::string log; // what it wrote on standard error
    };
    // Runs the server with `args` in place of the usual ones, for starts that must fail; gives
    // up after 20 s.
    static Ended runExpectingExit(const std::filesystem::path& dataDir, std::vector<std::string> args);

private:
    std::filesystem::path dataDir_;
    pid_t pid_ = -1;
    unsigned short port_ = 0;
};

}
