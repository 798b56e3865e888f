#include "load/ServerUnderTest.h"
#include "app/ListeningLine.h"
#include "load/ChildProcess.h"
#include <chrono>
#include <csignal>
#include <stdexcept>
#include <unistd.h>
#include <vector>

namespace tender::bench {

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
    // The whole population comes from a few loopback addresses: no per-client connection cap.
    std::vector<std::string> args{binary_, "--listen", "127.0.0.1:" + std::to_string(port_), "--data",
        dataDir_.string(), "--threads", std::to_string(threads_), "--max-connections-per-client", "10000000"};
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        throw std::runtime_error("pipe failed");
    try {
        pid_ = spawnPinned(args, cpu_, pipeEnds[1]);
    } catch (...) {
        ::close(pipeEnds[0]);
        ::close(pipeEnds[1]);
        throw;
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
    killAndReap(pid_, SIGKILL);
    pid_ = -1;
}

void ServerUnderTest::stop()
{
    killAndReap(pid_, SIGTERM);
    pid_ = -1;
}

}
