// Whatever a client sends on one connection: requests in turn, each read with the service's
// limits and answered by the router with every route, as the connection would.
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
    expect(answer.result_int() < 500, "answered " + std::to_string(answer.result_int()) + ": " + answer.body());
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
    boost::asio::io_context io;
    beast::test::stream client(io, input);
    client.close_remote();
    beast::flat_buffer buffer;
    for (int turn = 0; turn < 16; ++turn) {
        server::RequestParser parser;
        server::limitRequest(parser);
        beast::error_code error;
        http::read(client, buffer, parser, error);
        if (error) {
            if (auto refusal = server::refusalOf(error))
                expectSound(*refusal);
            return;
        }
        auto answer = fuzz.answer(fuzz.withSecrets(parser.release()));
        expectSound(answer);
        if (!answer.keep_alive() || answer.result() == http::status::switching_protocols)
            return;
    }
}

}
