#include "load/nats/NatsPublishLink.h"
#include "load/nats/NatsSubject.h"
#include <boost/asio/co_spawn.hpp>
#include <boost/asio/detached.hpp>

namespace tender::bench {

namespace net = boost::asio;

namespace {

constexpr std::size_t payloadBytes = 60;

// Answers the server's PINGs and notices a closed connection; publishers get nothing else.
net::awaitable<void> drain(std::shared_ptr<NatsConnection> connection)
{
    co_await connection->readAll([](const NatsOp&) {});
}

}

const std::string& natsSignalPayload()
{
    static const std::string payload = [] {
        std::string text = R"({"type":"event","event":{"type":"signal","v":1},"pad":")";
        text.append(payloadBytes - text.size() - 2, 'x');
        return text + "\"}";
    }();
    return payload;
}

NatsPublishLink::NatsPublishLink(net::any_io_executor executor, net::ip::tcp::endpoint server, unsigned index,
    bool verbose)
    : executor_(executor)
    , server_(server)
    , index_(index)
    , verbose_(verbose)
{
}

net::awaitable<SignalLink::Outcome> NatsPublishLink::send(const Signal& signal)
{
    if (!connection_ || !connection_->alive()) {
        connection_ = std::make_shared<NatsConnection>(executor_, server_, index_, verbose_);
        published_ = 1;
        bool opened = co_await connection_->open("");
        if (!opened)
            co_return Outcome::failed;
        net::co_spawn(executor_, drain(connection_), net::detached);
    }
    const auto& payload = natsSignalPayload();
    bool written = co_await connection_->write(
        "PUB " + natsSubject(signal.entry->target) + " " + std::to_string(payload.size()) + "\r\n" + payload + "\r\n");
    if (!written)
        co_return Outcome::failed;
    if (!verbose_)
        co_return Outcome::accepted;
    auto errorsBefore = connection_->errors();
    bool answered = co_await connection_->waitForAnswers(++published_);
    if (!answered)
        co_return Outcome::failed;
    co_return connection_->errors() == errorsBefore ? Outcome::accepted : Outcome::refused;
}

}
