#include "load/nats/NatsSubscriber.h"
#include "load/Awaitable.h"
#include "load/nats/NatsSubject.h"
#include <algorithm>
#include <boost/asio/as_tuple.hpp>
#include <boost/asio/co_spawn.hpp>
#include <boost/asio/detached.hpp>
#include <boost/asio/use_awaitable.hpp>

namespace tender::bench {

namespace net = boost::asio;

namespace {

// Holds the connection while the PING goes out, even if the subscriber has moved on to a new one.
net::awaitable<void> pingOn(std::shared_ptr<NatsConnection> connection)
{
    co_await connection->write("PING\r\n");
}

}

NatsSubscriber::NatsSubscriber(net::any_io_executor executor, net::ip::tcp::endpoint server, unsigned index,
    Deliveries& deliveries, const StreamEvents& events)
    : executor_(executor)
    , server_(server)
    , index_(index)
    , deliveries_(deliveries)
    , events_(events)
    , backoff_(executor)
{
}

net::awaitable<void> NatsSubscriber::run()
{
    while (!stopping_) {
        co_await connectAndRead();
        if (stopping_)
            break;
        co_await backoff_.wait();
    }
}

net::awaitable<void> NatsSubscriber::connectAndRead()
{
    auto connection = std::make_shared<NatsConnection>(executor_, server_, index_);
    connection_ = connection;
    bool opened = co_await connection->open("SUB " + natsSubject(index_) + " 1\r\nPING\r\n");
    if (!opened || stopping_)
        co_return;
    co_await connection->readAll([this](const NatsOp& op) { onOp(op); });
    onLost();
}

void NatsSubscriber::onOp(const NatsOp& op)
{
    if (op.kind == NatsOp::Kind::msg) {
        deliveries_.arrived(index_, Clock::now());
    } else if (op.kind == NatsOp::Kind::pong && !online_) {
        online_ = true;
        backoff_.reset();
        events_.ready(index_);
    }
}

void NatsSubscriber::onLost()
{
    if (!online_)
        return;
    online_ = false;
    deliveries_.streamLost(index_);
    events_.lost(index_);
}

void NatsSubscriber::ping()
{
    if (online_)
        net::co_spawn(executor_, pingOn(connection_), net::detached);
}

void NatsSubscriber::stop()
{
    stopping_ = true;
    backoff_.cancel();
    if (connection_)
        connection_->close();
}

}
