#pragma once
#include "load/ServerProcess.h"
#include <filesystem>
#include <string>

namespace tender::bench {

// tender-server as a child process on 127.0.0.1, optionally pinned to one core.
class ServerUnderTest : public ServerProcess {
public:
    ServerUnderTest(std::string binary, std::filesystem::path dataDir, unsigned threads, int cpu);
    ~ServerUnderTest() override;

    void start() override;
    void killHard() override;
    void stop() override;
    pid_t pid() const override { return pid_; }
    unsigned short port() const override { return port_; }

private:
    std::string binary_;
    std::filesystem::path dataDir_;
    unsigned threads_;
    int cpu_;
    pid_t pid_ = -1;
    unsigned short port_ = 0;
};

}
