#pragma once
#include "http/BlockingWork.h"
#include "http/Router.h"
#include "http/StreamDoor.h"
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
};

// Serves one connection: requests in turn (keep-alive), or hands it over to a stream on upgrade.
boost::asio::awaitable<void> serveConnection(boost::asio::ip::tcp::socket socket, const Router& router,
    StreamDoor& door, ConnectionSettings settings);

}
