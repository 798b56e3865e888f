#pragma once
#include "load/ServerProcess.h"
#include <array>
#include <filesystem>
#include <string>

namespace tender::bench {

// HAProxy with packaging/haproxy.cfg in `dir`, listening on 127.0.0.1:`port` in front of the two
// nodes, with `backendRules` after its balance line; returns once it accepts connections.
pid_t startBalancer(const std::filesystem::path& dir, unsigned short port, std::array<unsigned short, 2> nodes,
    int cpu, const std::string& backendRules = "");

// Two tender-server nodes on PostgreSQL and nats-server behind HAProxy, all on 127.0.0.1 and
// pinned to one core. HAProxy answers which node served a request (X-Served-By) and sends a
// request carrying X-Tender-Node to that node while it is up, so the generator can make every
// heart cross from one node to the other.
class ClusterUnderTest : public ServerProcess {
public:
    static constexpr int nodes = 2;

    ClusterUnderTest(std::string serverBinary, std::string natsBinary, std::filesystem::path dir, unsigned threads, int cpu);
    ~ClusterUnderTest() override;

    // Starts PostgreSQL alone, for the population to be written; gives its URL.
    std::string startDatabase();
    void start() override; // nats-server, the nodes and HAProxy
    void killHard() override;
    void stop() override;
    void killNode(int index);
    pid_t pid() const override { return nodePids_[0]; }
    std::vector<pid_t> pids() const override;
    std::vector<pid_t> nodePids() const override;
    unsigned short port() const override { return port_; }

private:
    void startNode(int index);
    void startBalancer();

    std::string serverBinary_, natsBinary_;
    std::filesystem::path dir_;
    unsigned threads_;
    int cpu_;
    std::string database_;
    unsigned short busPort_ = 0, port_ = 0;
    unsigned short nodePorts_[nodes] = {};
    pid_t nodePids_[nodes] = {-1, -1};
    pid_t bus_ = -1, balancer_ = -1, postmaster_ = -1;
};

}
