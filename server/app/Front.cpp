#include "app/Front.h"
#include "common/Log.h"
#include "limits/Throttle.h"
#include "ops/OpenFiles.h"

namespace tender::server {

namespace net = boost::asio;

namespace {

constexpr std::size_t descriptorsKept = 64; // the database, the log, the key, the pools
constexpr std::size_t slowWorkPerClient = 2;
constexpr std::size_t opsConnections = 64;

std::string baseOf(const net::ip::tcp::endpoint& endpoint)
{
    auto address = endpoint.address();
    auto host = address.is_v6() ? "[" + address.to_string() + "]" : address.to_string();
    return "http://" + host + ":" + std::to_string(endpoint.port());
}

std::size_t connectionCap(const Options& options)
{
    auto openFiles = raiseOpenFileLimit();
    auto possible = openFiles > 2 * descriptorsKept ? openFiles - descriptorsKept : openFiles / 2;
    if (options.maxConnections == 0)
        return possible;
    if (options.maxConnections > possible)
        logLine("--max-connections " + std::to_string(options.maxConnections) + " is above what the open-file limit "
            "allows; taking " + std::to_string(possible));
    return std::min<std::size_t>(options.maxConnections, possible);
}

net::ip::tcp::endpoint endpoint(const std::string& host, unsigned short port)
{
    return {net::ip::make_address(host), port};
}

}

Front::Front(net::io_context& io, const Options& options, Service& service, net::any_io_executor slowWork,
    bool oneThread)
    : connections_(connectionCap(options), options.maxConnectionsPerClient)
    , opsSeats_(opsConnections, 0)
    , slowLane_(options.slowQueue, slowWorkPerClient)
    , clients_(options.trustedProxies)
    , requestMetrics_(service.metrics())
    , listener_(io, endpoint(options.host, options.port), service.router(), &service.gate(),
          settings(options, service, std::move(slowWork), oneThread),
          {connections_, idle_, clients_, refusalsOf(service.metrics(), "connections")})
    , webBase_(options.webBase.empty() ? baseOf(listener_.localEndpoint()) : options.webBase)
{
    auto& metrics = service.metrics();
    if (!options.metricsHost.empty())
        opsListener_.emplace(io, endpoint(options.metricsHost, options.metricsPort), service.opsRouter(), nullptr,
            ConnectionSettings{}, ConnectionLimits{opsSeats_, opsIdle_, clients_, refusalsOf(metrics, "ops_connections")});
    metrics.gauge("tender_connections", "Open connections, streams included", {},
        [this] { return static_cast<double>(connections_.taken()); });
    metrics.gauge("tender_slow_work", "Slow requests running or waiting", {},
        [this] { return static_cast<double>(slowLane_.taken()); });
    service.addRoutes(webBase_);
    requestMetrics_.addRoutes(service.router().patterns());
}

ConnectionSettings Front::settings(const Options& options, Service& service, net::any_io_executor slowWork,
    bool oneThread)
{
    auto& metrics = service.metrics();
    ConnectionSettings connection;
    connection.streamSilence = std::chrono::seconds(options.streamSilenceSeconds);
    connection.slowWork = std::move(slowWork);
    connection.oneThread = oneThread;
    connection.storeWork = service.backends().storeWork();
    connection.slowLane = &slowLane_;
    connection.clients = &clients_;
    connection.requestMetrics = &requestMetrics_;
    connection.slowRefused = &refusalsOf(metrics, "slow_queue");
    connection.abandoned = &metrics.counter("tender_abandoned_requests_total", "Slow requests dropped: their client had gone");
    connection.signalsDelivered = &metrics.counter("tender_signals_delivered_total", "Signal frames written to streams");
    return connection;
}

void Front::start()
{
    listener_.start();
    if (opsListener_)
        opsListener_->start();
}

void Front::stop()
{
    listener_.stop();
    if (opsListener_)
        opsListener_->stop();
}

std::string Front::where() const
{
    return baseOf(listener_.localEndpoint()) + " (web base " + webBase_
        + (opsListener_ ? ", metrics on " + baseOf(opsListener_->localEndpoint()) : "");
}

}
