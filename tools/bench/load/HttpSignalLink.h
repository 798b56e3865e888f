#pragma once
#include "load/SignalLink.h"
#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/core/tcp_stream.hpp>
#include <functional>

namespace tender::bench {

// A keep-alive HTTP connection to tender-server: each signal is a POST /v1/events, answered 202.
class HttpSignalLink : public SignalLink {
public:
    // `route` names the node that should take a signal to a recipient (X-Tender-Node, for a
    // balancer that honours it); empty: any.
    using Route = std::function<std::string(unsigned recipient)>;
    HttpSignalLink(boost::asio::any_io_executor executor, boost::asio::ip::tcp::endpoint server,
        const Population& population, Route route = {});

    boost::asio::awaitable<Outcome> send(const Signal& signal) override;

private:
    boost::asio::awaitable<bool> connect();
    void disconnect();

    boost::asio::ip::tcp::endpoint server_;
    const Population& population_;
    Route route_;
    boost::beast::tcp_stream stream_;
    boost::beast::flat_buffer buffer_;
    bool connected_ = false;
};

}
