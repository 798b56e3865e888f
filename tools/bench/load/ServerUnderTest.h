#pragma once
#include <filesystem>
#include <string>
#include <sys/types.h>

namespace tender::bench {

// tender-server as a child process on 127.0.0.1, optionally pinned to one core.
class ServerUnderTest {
public:
    ServerUnderTest(std::string binary, std::filesystem::path dataDir, unsigned threads, int cpu);
    ~ServerUnderTest();

    void start();          // on any free port the first time, then on the same port
    void killHard();       // SIGKILL, reaped
    void stop();           // SIGTERM, reaped
    pid_t pid() const { return pid_; }
    unsigned short port() const { return port_; }

private:
    std::string binary_;
    std::filesystem::path dataDir_;
    unsigned threads_;
    int cpu_;
    pid_t pid_ = -1;
    unsigned short port_ = 0;
};

}
