#pragma once
#include "load/SignalLink.h"
#include "load/nats/NatsConnection.h"
#include <memory>

namespace tender::bench {

// A NATS connection over the WebSocket listener that publishes each signal to its recipient's
// subject. Core NATS publishing has no answer, so a signal counts as accepted once written.
class NatsPublishLink : public SignalLink {
public:
    NatsPublishLink(boost::asio::any_io_executor executor, boost::asio::ip::tcp::endpoint server, unsigned index);

    boost::asio::awaitable<Outcome> send(const Signal& signal) override;

private:
    boost::asio::any_io_executor executor_;
    boost::asio::ip::tcp::endpoint server_;
    unsigned index_;
    std::shared_ptr<NatsConnection> connection_;
};

// About the size of tender's signal frame and request.
const std::string& natsSignalPayload();

}
