#pragma once
#include "http/BlockingWork.h"
#include "http/IdleConnections.h"
#include "http/Router.h"
#include "http/StreamDoor.h"
#include "limits/ClientAddresses.h"
#include "limits/Seats.h"
#include "ops/Metrics.h"
#include "ops/RequestMetrics.h"
#include <boost/asio/any_io_executor.hpp>
#include <boost/asio/awaitable.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <chrono>

namespace tender::server {

struct ConnectionSettings {
    std::chrono::seconds requestTimeout{30};
    std::chrono::seconds streamSilence{75};
    boost::asio::any_io_executor slowWork; // where slow routes run; empty: in place
    // Where every other route and stream admission runs when the store is a database over the
    // network; absent: in place, as SQLite answers at once.
    BlockingWork* storeWork = nullptr;
    // One thread runs every handler, so a connection needs no strand of its own to keep its
    // handlers apart; a strand costs a lock and a queue on every step.
    bool oneThread = false;
    Seats* slowLane = nullptr; // slow requests running or waiting, in all and per client; null: unbounded
    const ClientAddresses* clients = nullptr; // null: the peer is the client
    RequestMetrics* requestMetrics = nullptr;
    Counter* slowRefused = nullptr;
    Counter* abandoned = nullptr; // slow work dropped because its client had gone
    Counter* signalsDelivered = nullptr;
};

// What the listener holds for a connection while it lasts.
struct ConnectionHold {
    std::shared_ptr<IdleWatch> watch;
    std::optional<IdleConnections::Entry> entry;
    std::optional<Seat> seat;
};

// Serves one connection: requests in turn (keep-alive), or hands it over to a stream on upgrade
// (never when `door` is null).
boost::asio::awaitable<void> serveConnection(boost::asio::ip::tcp::socket socket, const Router& router,
    StreamDoor* door, const ConnectionSettings& settings, ConnectionHold hold);

}
