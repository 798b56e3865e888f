#include "load/nats/NatsProtocolReader.h"
#include <gtest/gtest.h>

using namespace tender::bench;
using Kind = NatsOp::Kind;

TEST(NatsProtocolReader, OperationsSplitAndJoinedAnywhereComeOutWhole)
{
    const std::string stream = "INFO {\"server_id\":\"x\"}\r\nPONG\r\nMSG u7 1 5\r\nhe\r\no\r\n"
                               "MSG u7 1 reply.to 0\r\n\r\nping\r\n+OK\r\n-ERR 'Slow Consumer'\r\n";
    // Every way of cutting the bytes in two gives the same operations.
    for (std::size_t cut = 0; cut <= stream.size(); ++cut) {
        NatsProtocolReader reader;
        std::vector<NatsOp> ops;
        ASSERT_TRUE(reader.feed(std::string_view(stream).substr(0, cut), ops));
        ASSERT_TRUE(reader.feed(std::string_view(stream).substr(cut), ops));
        std::vector<Kind> kinds;
        for (const auto& op : ops)
            kinds.push_back(op.kind);
        ASSERT_EQ(kinds,
            (std::vector{Kind::info, Kind::pong, Kind::msg, Kind::msg, Kind::ping, Kind::ok, Kind::err}))
            << "cut at " << cut;
        EXPECT_EQ(ops[0].detail, "{\"server_id\":\"x\"}");
        EXPECT_EQ(ops[2].detail, "u7"); // a payload holding CRLF is still one message
        EXPECT_EQ(ops[6].detail, "'Slow Consumer'");
    }
}

TEST(NatsProtocolReader, NonsenseStopsTheReaderForGood)
{
    std::vector<NatsOp> ops;
    // An unknown operation, a bad size, a payload longer than announced, a line without end.
    for (const auto& bad : {std::string("HELLO\r\n"), std::string("MSG u1 1 x\r\n"),
             std::string("MSG u1 1 2\r\nabc\r\n"), std::string(70000, 'x')}) {
        NatsProtocolReader reader;
        EXPECT_FALSE(reader.feed(bad, ops)) << bad.substr(0, 20);
        EXPECT_FALSE(reader.feed("PING\r\n", ops)) << "stays broken";
    }
    EXPECT_TRUE(ops.empty());
}
