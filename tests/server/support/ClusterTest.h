#pragma once
#include "support/Accounts.h"
#include "support/ClusterServices.h"
#include "support/ServerProcess.h"
#include "support/WsClient.h"
#include <boost/json.hpp>
#include <gtest/gtest.h>

namespace tender::testing {

// Two tender-server nodes on one fresh PostgreSQL database and the shared nats-server, started
// together so their migrations meet. Skipped where PostgreSQL or nats-server is not installed.
class ClusterTest : public ::testing::Test {
protected:
    void SetUp() override;

    std::vector<std::string> nodeArgs() const;
    std::unique_ptr<ServerProcess> startNode(const std::string& name);
    // A stream through `node` that has said "ready".
    std::unique_ptr<WsClient> readyStream(const ServerProcess& node, const TestUser& user, const std::string& query = "");
    // Asks `node`'s /readyz until it answers `status` or 10 s pass.
    bool becomes(const ServerProcess& node, int status);

    TempDir dir;
    ClusterServices* services = nullptr;
    std::string database;
    std::unique_ptr<ServerProcess> a, b;
    std::unique_ptr<HttpClient> viaA, viaB;
};

}
