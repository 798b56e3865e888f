#pragma once
#include "support/Accounts.h"
#include "support/ClusterServices.h"
#include "support/ServerProcess.h"
#include "support/TempDir.h"
#include "support/WsClient.h"
#include <boost/json.hpp>
#include <gtest/gtest.h>
#include <cstdlib>
#include <memory>

namespace tender::testing {

namespace json = boost::json;

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

    void start(std::vector<std::string> args = {"--dev-signin"}, const Environment& environment = {})
    {
        if (onCluster())
            args.insert(args.end(), {"--database", database, "--bus", ClusterServices::shared()->busUrl()});
        server = std::make_unique<ServerProcess>(dir.path() / "data", std::move(args), environment);
        http = std::make_unique<HttpClient>(server->port());
    }

    // Another caller, from its own loopback address.
    HttpClient from(const std::string& source) const { return HttpClient(server->port(), source); }

    int restart()
    {
        int status = server->stop();
        start();
        return status;
    }

    std::unique_ptr<WsClient> openStream(const TestUser& user, const std::string& query = "")
    {
        auto opened = WsClient::open(server->port(), "/v1/stream" + query, user.idToken);
        EXPECT_EQ(opened.refusedStatus, 101);
        return std::move(opened.client);
    }

    // A stream that has said "ready", so it is registered for delivery.
    std::unique_ptr<WsClient> readyStream(const TestUser& user, const std::string& query = "")
    {
        auto stream = openStream(user, query);
        if (stream) {
            EXPECT_EQ(stream->next(), R"({"type":"ready"})");
        }
        return stream;
    }

    TempDir dir;
    std::string database; // on the cluster backend
    std::unique_ptr<ServerProcess> server;
    std::unique_ptr<HttpClient> http;
};

inline std::string text(const json::value& v)
{
    return v.is_string() ? std::string(v.as_string()) : std::string();
}

}
