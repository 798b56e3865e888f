#pragma once
#include "load/SignalLink.h"
#include "load/nats/NatsConnection.h"
#include <memory>

namespace tender::bench {

// A NATS connection over the WebSocket listener that publishes each signal to its recipient's
// subject. Core NATS publishing has no answer, so a signal counts as accepted once written;
// `verbose` asks for +OK after each and waits for it, as a POST waits for its 202.
class NatsPublishLink : public SignalLink {
public:
    NatsPublishLink(boost::asio::any_io_executor executor, boost::asio::ip::tcp::endpoint server, unsigned index,
        bool verbose);

    boost::asio::awaitable<Outcome> send(const Signal& signal) override;

private:
    boost::asio::any_io_executor executor_;
    boost::asio::ip::tcp::endpoint server_;
    unsigned index_;
    std::shared_ptr<NatsConnection> connection_;
    std::uint64_t published_ = 0; // on this connection, counting CONNECT, which verbose answers too
    bool verbose_;
};

// About the size of tender's signal frame and request.
const std::string& natsSignalPayload();

}
