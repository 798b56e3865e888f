#include "load/cluster/ClusterUnderTest.h"
#include "app/ListeningLine.h"
#include "load/ChildProcess.h"
#include <chrono>
#include <csignal>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace tender::bench {
namespace {

const std::string sourceDir = TENDER_SOURCE_DIR;

void waitForPort(unsigned short port, const char* what)
{
    for (int i = 0; i < 1500 && !accepts(port); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    if (!accepts(port))
        throw std::runtime_error(std::string(what) + " did not listen within 30 s");
}

std::string replaced(std::string text, const std::string& from, const std::string& to)
{
    auto at = text.find(from);
    if (at == std::string::npos)
        throw std::runtime_error("packaging/haproxy.cfg lacks " + from);
    return text.replace(at, from.size(), to);
}

// Runs `args` pinned to `cpu` and gives its standard output.
std::string runPinned(const std::vector<std::string>& args, int cpu)
{
    int ends[2];
    if (::pipe(ends) != 0)
        throw std::runtime_error("pipe failed");
    pid_t child = spawnPinned(args, cpu, ends[1]);
    ::close(ends[1]);
    std::string output;
    char chunk[256];
    for (ssize_t got; (got = ::read(ends[0], chunk, sizeof chunk)) > 0;)
        output.append(chunk, static_cast<std::size_t>(got));
    ::close(ends[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error(args[0] + " failed");
    while (!output.empty() && output.back() == '\n')
        output.pop_back();
    return output;
}

std::vector<pid_t> childrenOf(pid_t parent)
{
    std::vector<pid_t> children;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        auto name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        std::ifstream stat(entry.path() / "stat");
        std::string line;
        std::getline(stat, line);
        auto close = line.rfind(')');
        if (close == std::string::npos)
            continue;
        std::istringstream rest(line.substr(close + 2));
        std::string state;
        pid_t ppid = 0;
        rest >> state >> ppid;
        if (ppid == parent)
            children.push_back(std::stoi(name));
    }
    return children;
}

}

ClusterUnderTest::ClusterUnderTest(std::string serverBinary, std::string natsBinary, std::filesystem::path dir,
    unsigned threads, int cpu)
    : serverBinary_(std::move(serverBinary))
    , natsBinary_(std::move(natsBinary))
    , dir_(std::move(dir))
    , threads_(threads)
    , cpu_(cpu)
{
}

ClusterUnderTest::~ClusterUnderTest()
{
    killHard();
    if (postmaster_ > 0) {
        try {
            runPinned({sourceDir + "/tests/support/private-postgres", "stop", (dir_ / "postgres").string()}, -1);
        } catch (const std::exception&) {
        }
    }
}

std::string ClusterUnderTest::startDatabase()
{
    database_ = runPinned({sourceDir + "/tests/support/private-postgres", "start", (dir_ / "postgres").string()}, cpu_);
    std::ifstream pidFile(dir_ / "postgres/data/postmaster.pid");
    pidFile >> postmaster_;
    return database_;
}

void ClusterUnderTest::start()
{
    if (busPort_ == 0)
        busPort_ = freePort();
    bus_ = spawnPinned({natsBinary_, "-a", "127.0.0.1", "-p", std::to_string(busPort_)}, cpu_, -1);
    waitForPort(busPort_, "nats-server");
    for (int i = 0; i < nodes; ++i)
        startNode(i);
    startBalancer();
}

void ClusterUnderTest::startNode(int index)
{
    std::vector<std::string> args{serverBinary_, "--listen", "127.0.0.1:" + std::to_string(nodePorts_[index]),
        "--data", (dir_ / ("node" + std::to_string(index + 1))).string(), "--threads", std::to_string(threads_),
        "--database", database_, "--bus", "nats://127.0.0.1:" + std::to_string(busPort_),
        "--trusted-proxy", "127.0.0.1"};
    int ends[2];
    if (::pipe(ends) != 0)
        throw std::runtime_error("pipe failed");
    nodePids_[index] = spawnPinned(args, cpu_, ends[1]);
    ::close(ends[1]);
    try {
        nodePorts_[index] = readListeningPort(ends[0], std::chrono::seconds(30));
    } catch (...) {
        ::close(ends[0]);
        throw;
    }
    ::close(ends[0]);
}

pid_t startBalancer(const std::filesystem::path& dir, unsigned short port, std::array<unsigned short, 2> nodes,
    int cpu, const std::string& backendRules)
{
    std::ifstream packaged(sourceDir + "/packaging/haproxy.cfg");
    std::string config((std::istreambuf_iterator<char>(packaged)), std::istreambuf_iterator<char>());
    config = replaced(config, "127.0.0.1:8787", "127.0.0.1:" + std::to_string(port));
    config = replaced(config, "127.0.0.1:8801", "127.0.0.1:" + std::to_string(nodes[0]));
    config = replaced(config, "127.0.0.1:8802", "127.0.0.1:" + std::to_string(nodes[1]));
    config = replaced(config, "    balance leastconn\n", "    balance leastconn\n" + backendRules);
    auto file = dir / "haproxy.cfg";
    std::ofstream(file) << config;
    auto pid = spawnPinned({"/usr/sbin/haproxy", "-f", file.string()}, cpu, -1);
    waitForPort(port, "HAProxy");
    return pid;
}

void ClusterUnderTest::startBalancer()
{
    if (port_ == 0)
        port_ = freePort();
    balancer_ = bench::startBalancer(dir_, port_, {nodePorts_[0], nodePorts_[1]}, cpu_,
        "    use-server node1 if { req.hdr(x-tender-node) -m str node1 }\n"
        "    use-server node2 if { req.hdr(x-tender-node) -m str node2 }\n"
        "    http-response set-header X-Served-By %s\n");
    std::this_thread::sleep_for(std::chrono::milliseconds(2500)); // two passed health checks put a node in
}

void ClusterUnderTest::killNode(int index)
{
    killAndReap(nodePids_[index], SIGKILL);
    nodePids_[index] = -1;
}

void ClusterUnderTest::killHard()
{
    for (auto* pid : {&balancer_, &nodePids_[0], &nodePids_[1], &bus_}) {
        killAndReap(*pid, SIGKILL);
        *pid = -1;
    }
}

void ClusterUnderTest::stop()
{
    for (auto* pid : {&balancer_, &nodePids_[0], &nodePids_[1], &bus_}) {
        killAndReap(*pid, SIGTERM);
        *pid = -1;
    }
}

std::vector<pid_t> ClusterUnderTest::nodePids() const
{
    std::vector<pid_t> pids;
    for (auto pid : nodePids_)
        if (pid > 0)
            pids.push_back(pid);
    return pids;
}

std::vector<pid_t> ClusterUnderTest::pids() const
{
    auto all = nodePids();
    for (auto pid : {bus_, balancer_, postmaster_})
        if (pid > 0)
            all.push_back(pid);
    if (postmaster_ > 0)
        for (auto child : childrenOf(postmaster_))
            all.push_back(child);
    return all;
}

}
