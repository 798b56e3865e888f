// What a stream does with whatever its client sends after the upgrade: pings, messages, closes,
// malformed frames, while the service sends to it. The stream must end once the client has gone.
#include "FuzzService.h"
#include "FuzzTarget.h"
#include "http/WsSessionImpl.h"
#include <boost/beast/_experimental/test/stream.hpp>

namespace tender::fuzz {

using MemoryStream = boost::beast::test::stream;
using MemorySession = server::BasicWsSession<MemoryStream>;

TENDER_FUZZ_TARGET(stream)
{
    auto& fuzz = FuzzService::instance();
    fuzz.restore();
    auto& gate = fuzz.service().gate();
    server::Request upgrade{http::verb::get, "/v1/stream", 11};
    upgrade.set(http::field::host, "127.0.0.1");
    upgrade.set(http::field::upgrade, "websocket");
    upgrade.set(http::field::connection, "Upgrade");
    upgrade.set(http::field::sec_websocket_key, "dGhlIHNhbXBsZSBub25jZQ==");
    upgrade.set(http::field::sec_websocket_version, "13");
    upgrade.set(http::field::authorization, "Bearer " + fuzz.withSecrets("@user"));
    auto admitted = gate.admit(upgrade);
    expect(std::holds_alternative<server::Admission>(admitted), "the stream was refused");
    auto& admission = std::get<server::Admission>(admitted);
    auto uid = admission.audience.uid;

    boost::asio::io_context io;
    MemoryStream toService(io), client(io);
    toService.connect(client);
    boost::asio::write(client, boost::asio::buffer(input));
    auto session = std::make_shared<MemorySession>(std::move(toService), std::move(admission), gate,
        std::chrono::seconds(75), nullptr);
    session->start(std::move(upgrade));
    io.poll();
    fuzz.service().hub().signalUser(uid);
    fuzz.service().hub().syncUser(uid);
    io.poll();
    client.close();
    io.run();
    expect(session.use_count() == 1, "the stream lives on after its client left");
    expect(client.str().starts_with("HTTP/1.1 101 Switching Protocols\r\n"), "the upgrade was not answered");
}

}
