#include "load/nats/NatsProtocolReader.h"
#include <gtest/gtest.h>

using namespace tender::bench;
using Kind = NatsOp::Kind;

namespace {

std::vector<Kind> kinds(const std::vector<NatsOp>& ops)
{
    std::vector<Kind> out;
    for (const auto& op : ops)
        out.push_back(op.kind);
    return out;
}

}

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
        ASSERT_EQ(kinds(ops),
            (std::vector{Kind::info, Kind::pong, Kind::msg, Kind::msg, Kind::ping, Kind::ok, Kind::err}))
            << "cut at " << cut;
        EXPECT_EQ(ops[0].detail, "{\"server_id\":\"x\"}");
        EXPECT_EQ(ops[2].detail, "u7"); // a payload holding CRLF is still one message
        EXPECT_EQ(ops[6].detail, "'Slow Consumer'");
    }
}

TEST(NatsProtocolReader, NonsenseStopsTheReader)
{
    NatsProtocolReader unknown;
    std::vector<NatsOp> ops;
    EXPECT_FALSE(unknown.feed("HELLO\r\n", ops));
    EXPECT_FALSE(unknown.feed("PING\r\n", ops)); // stays broken
    EXPECT_TRUE(ops.empty());

    NatsProtocolReader badSize;
    EXPECT_FALSE(badSize.feed("MSG u1 1 x\r\n", ops));
    NatsProtocolReader shortPayload; // the payload is longer than announced
    EXPECT_FALSE(shortPayload.feed("MSG u1 1 2\r\nabc\r\n", ops));
    NatsProtocolReader endless;
    EXPECT_FALSE(endless.feed(std::string(70000, 'x'), ops));
}
