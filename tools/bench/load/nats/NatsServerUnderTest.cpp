#include "load/nats/NatsServerUnderTest.h"
#include "load/ChildProcess.h"
#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <fstream>
#include <netinet/in.h>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace tender::bench {
NatsServerUnderTest::NatsServerUnderTest(std::string binary, std::filesystem::path dataDir, int cpu)
    : binary_(std::move(binary))
    , config_(std::move(dataDir) / "nats.conf")
    , cpu_(cpu)
{
}

NatsServerUnderTest::~NatsServerUnderTest()
{
    if (pid_ > 0)
        killHard();
}

void NatsServerUnderTest::writeConfig() const
{
    std::ofstream out(config_);
    out << "listen: \"127.0.0.1:-1\"\n"
        << "websocket {\n  listen: \"127.0.0.1:" << port_ << "\"\n  no_tls: true\n}\n";
    if (!out)
        throw std::runtime_error("cannot write " + config_.string());
}

void NatsServerUnderTest::waitUntilListening()
{
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!accepts(port_)) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            throw std::runtime_error("nats-server exited at start (" + binary_ + " -c " + config_.string() + ")");
        }
        if (std::chrono::steady_clock::now() > end) {
            killHard();
            throw std::runtime_error("nats-server did not listen within 30 s");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

void NatsServerUnderTest::start()
{
    if (port_ == 0) {
        port_ = freePort();
        writeConfig();
    }
    pid_ = spawnPinned({binary_, "-c", config_.string()}, cpu_, -1);
    waitUntilListening();
}

void NatsServerUnderTest::killHard()
{
    killAndReap(pid_, SIGKILL);
    pid_ = -1;
}

void NatsServerUnderTest::stop()
{
    killAndReap(pid_, SIGTERM);
    pid_ = -1;
}

}
