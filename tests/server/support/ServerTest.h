#pragma once
#include "support/Accounts.h"
#include "support/ClusterServices.h"
#include "support/Probes.h"
#include "support/ServerProcess.h"
#include "support/TempDir.h"
#include "support/WsClient.h"
#include <boost/json.hpp>
#include <gtest/gtest.h>
#include <cstdlib>
#include <memory>

namespace tender::testing {

namespace json = boost::json;

constexpr auto quiet = milliseconds(400); // how long a frame that must not come is waited for
const std::string signalFrame = R"({"type":"event","event":{"type":"signal","v":1}})";
const std::string syncFrame = R"({"type":"sync"})";

// A stream that has said "ready", so it is registered for delivery.
inline std::unique_ptr<WsClient> streamOn(unsigned short port, const std::string& token,
    const std::string& target = "/v1/stream")
{
    auto opened = WsClient::open(port, target, token);
    EXPECT_EQ(opened.refusedStatus, 101) << target;
    if (opened.client) {
        EXPECT_EQ(opened.client->next(), R"({"type":"ready"})");
    }
    return std::move(opened.client);
}

// Each test gets its own server process with an empty data directory. With TENDER_TEST_BACKEND=cluster
// in the environment the same tests run on a fresh PostgreSQL database and the bus instead.
class ServerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (onCluster()) {
            if (!ClusterServices::shared())
                GTEST_SKIP() << ClusterServices::missing();
            database = ClusterServices::shared()->freshDatabase();
        }
        start();
    }

    static bool onCluster()
    {
        const char* backend = std::getenv("TENDER_TEST_BACKEND");
        return backend && std::string(backend) == "cluster";
    }

    // Starts the server anew (stopping the one running) with `args`.
    void start(std::vector<std::string> args = {"--dev-signin"}, const Environment& environment = {})
    {
        server.reset();
        if (onCluster())
            args.insert(args.end(), {"--database", database, "--bus", ClusterServices::shared()->busUrl()});
        server = std::make_unique<ServerProcess>(dir.path() / "data", std::move(args), environment);
        http = std::make_unique<HttpClient>(server->port());
    }

    static std::string loopback(int n) { return "127.0.0." + std::to_string(n); }
    // Another caller, from its own loopback address 127.0.0.n.
    HttpClient from(int n) const { return HttpClient(server->port(), loopback(n)); }

    std::unique_ptr<WsClient> readyStream(const TestUser& user, const std::string& query = "")
    {
        return streamOn(server->port(), user.idToken, "/v1/stream" + query);
    }

    std::unique_ptr<WsClient> deviceStream(const std::string& token)
    {
        return streamOn(server->port(), token, "/v1/device/stream");
    }

    // The status of an attempt to open a stream: 101 when it opened.
    int upgrade(const std::string& target, const std::string& token)
    {
        return WsClient::open(server->port(), target, token).refusedStatus;
    }

    // The mails the server has written, in no particular order.
    std::vector<std::filesystem::path> outbox() const
    {
        std::error_code none; // before the first mail
        return {std::filesystem::directory_iterator(server->dataDir() / "outbox", none), {}};
    }

    TempDir dir;
    std::string database; // on the cluster backend
    std::unique_ptr<ServerProcess> server;
    std::unique_ptr<HttpClient> http;
};

}
