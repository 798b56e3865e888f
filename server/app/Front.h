#pragma once
#include "app/Options.h"
#include "app/Service.h"
#include "http/Listener.h"
#include <boost/asio/io_context.hpp>
#include <optional>

namespace tender::server {

// The service on its sockets: the public listener and, with --metrics-listen, the operators' own,
// with what strangers meet first: caps on connections, the bounded lane of password work, who
// counts as the client.
class Front {
public:
    // Listens at once and registers the service's routes, which need the public address.
    Front(boost::asio::io_context& io, const Options& options, Service& service,
        boost::asio::any_io_executor slowWork, bool oneThread);

    void start();
    void stop();
    const std::string& webBase() const { return webBase_; }
    // Where it listens, for the first line the process prints.
    std::string where() const;

private:
    ConnectionSettings settings(const Options& options, Service& service, boost::asio::any_io_executor slowWork,
        bool oneThread);

    // Connections may outlive the listeners by a moment at shutdown: what they hold outlives the loop.
    IdleConnections idle_;
    IdleConnections opsIdle_;
    Seats connections_;
    Seats opsSeats_;
    Seats slowLane_;
    ClientAddresses clients_;
    RequestMetrics requestMetrics_;
    Listener listener_;
    std::optional<Listener> opsListener_;
    std::string webBase_;
};

}
