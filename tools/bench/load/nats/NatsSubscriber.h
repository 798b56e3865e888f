#pragma once
#include "load/Backoff.h"
#include "load/Deliveries.h"
#include "load/Subscriber.h"
#include "load/nats/NatsConnection.h"
#include <memory>

namespace tender::bench {

// One user on nats-server, kept as the app keeps its stream: subscribed to their own subject,
// pinging, and after any failure reconnecting after 1, 2, 4 … 60 s. Online once the server
// has answered the PING that follows the SUB, so the subscription is in place.
class NatsSubscriber : public Subscriber {
public:
    NatsSubscriber(boost::asio::any_io_executor executor, boost::asio::ip::tcp::endpoint server, unsigned index,
        Deliveries& deliveries, const StreamEvents& events);

    boost::asio::awaitable<void> run() override;
    void ping() override;
    void stop() override;
    bool online() const override { return online_; }

private:
    boost::asio::awaitable<void> connectAndRead();
    void onOp(const NatsOp& op);
    void onLost();

    boost::asio::any_io_executor executor_;
    boost::asio::ip::tcp::endpoint server_;
    unsigned index_;
    Deliveries& deliveries_;
    const StreamEvents& events_;
    std::shared_ptr<NatsConnection> connection_;
    Backoff backoff_;
    bool online_ = false;
    bool stopping_ = false;
};

}
