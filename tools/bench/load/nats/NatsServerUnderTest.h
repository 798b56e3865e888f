#pragma once
#include "load/ServerProcess.h"
#include <filesystem>
#include <string>

namespace tender::bench {

// nats-server with only its WebSocket listener on 127.0.0.1 (the client port is a random one
// nobody uses), optionally pinned to one core.
class NatsServerUnderTest : public ServerProcess {
public:
    NatsServerUnderTest(std::string binary, std::filesystem::path dataDir, int cpu);
    ~NatsServerUnderTest() override;

    void start() override;
    void killHard() override;
    void stop() override;
    pid_t pid() const override { return pid_; }
    unsigned short port() const override { return port_; }

private:
    void writeConfig() const;
    void waitUntilListening();

    std::string binary_;
    std::filesystem::path config_;
    int cpu_;
    pid_t pid_ = -1;
    unsigned short port_ = 0;
};

}
