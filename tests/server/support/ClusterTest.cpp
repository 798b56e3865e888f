#include "support/ClusterTest.h"
#include <thread>

namespace tender::testing {

void ClusterTest::SetUp()
{
    services = ClusterServices::shared();
    if (!services)
        GTEST_SKIP() << ClusterServices::missing();
    database = services->freshDatabase();
    std::exception_ptr failed;
    std::thread second([&] {
        try {
            b = startNode("b");
        } catch (...) {
            failed = std::current_exception();
        }
    });
    a = startNode("a");
    second.join();
    if (failed)
        std::rethrow_exception(failed);
    viaA = std::make_unique<HttpClient>(a->port());
    viaB = std::make_unique<HttpClient>(b->port());
}

std::vector<std::string> ClusterTest::nodeArgs() const
{
    return {"--dev-signin", "--database", database, "--bus", services->busUrl(), "--database-connections", "2"};
}

std::unique_ptr<ServerProcess> ClusterTest::startNode(const std::string& name)
{
    return std::make_unique<ServerProcess>(dir.path() / name, nodeArgs());
}

std::unique_ptr<WsClient> ClusterTest::readyStream(const ServerProcess& node, const TestUser& user, const std::string& query)
{
    auto opened = WsClient::open(node.port(), "/v1/stream" + query, user.idToken);
    EXPECT_EQ(opened.refusedStatus, 101);
    if (opened.client)
        EXPECT_EQ(opened.client->next(), R"({"type":"ready"})");
    return std::move(opened.client);
}

bool ClusterTest::becomes(const ServerProcess& node, int status)
{
    HttpClient http(node.port());
    for (int i = 0; i < 100; ++i) {
        if (http.get("/readyz").status == status)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

}
