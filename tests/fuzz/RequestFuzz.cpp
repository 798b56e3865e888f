// Whatever a client sends on one connection: requests in turn, each read with the service's
// limits and answered by the router with every route, as the connection would. A refused request
// changes nothing, and nobody reaches another person's list or devices.
#include "FuzzService.h"
#include "FuzzTarget.h"
#include "http/Exchange.h"
#include "http/Responses.h"
#include <boost/beast/_experimental/test/stream.hpp>
#include <boost/beast/http/read.hpp>

namespace tender::fuzz {
namespace {

namespace beast = boost::beast;

// No request ends in an internal error, and the answer as written reads back as one whole answer.
void expectSound(const server::Response& answer)
{
    auto status = std::to_string(answer.result_int());
    expect(answer.result_int() < 500, "answered " + status + ": " + answer.body());
    auto wire = server::serializedHead(answer) + answer.body();
    http::response_parser<http::string_body> reader;
    reader.eager(true);
    reader.skip(answer.result() == http::status::switching_protocols);
    beast::error_code error;
    auto used = reader.put(boost::asio::buffer(wire), error);
    if (!error && !reader.is_done())
        reader.put_eof(error);
    expect(!error && used == wire.size() && reader.get().body() == answer.body()
            && reader.get().result() == answer.result(),
        "the answer does not read back: " + wire);
}

}

TENDER_FUZZ_TARGET(request)
{
    auto& fuzz = FuzzService::instance();
    fuzz.restore();
    // Each input comes from an address of its own, so that one input's throttling leaves the next alone.
    static std::uint64_t inputs = 0;
    auto address = "2001:db8::" + std::to_string(++inputs);
    boost::asio::io_context io;
    beast::test::stream connection(io, input);
    connection.close_remote();
    beast::flat_buffer buffer;
    for (int turn = 0; turn < 16; ++turn) {
        server::RequestParser parser;
        server::limitRequest(parser);
        beast::error_code error;
        http::read(connection, buffer, parser, error);
        if (error) {
            if (auto refusal = server::refusalOf(error))
                expectSound(*refusal);
            break;
        }
        auto before = fuzz.databaseVersion();
        auto answer = fuzz.answer(fuzz.withSecrets(parser.release()), address);
        expectSound(answer);
        expect(answer.result_int() < 400 || fuzz.databaseVersion() == before,
            "a refused request changed the database: " + answer.body());
        if (!answer.keep_alive() || answer.result() == http::status::switching_protocols)
            break;
    }
    expect(fuzz.othersUntouched(), "an input reached another person's list or devices");
}

}
