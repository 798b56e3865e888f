#include "app/Options.h"
#include "app/BackendUrls.h"
#include <algorithm>
#include <boost/asio/ip/address.hpp>
#include <cstdlib>
#include <functional>
#include <map>

namespace tender::server {
namespace {

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::filesystem::path defaultDataDir()
{
    auto xdg = environment("XDG_DATA_HOME");
    if (!xdg.empty())
        return std::filesystem::path(xdg) / "tender-server";
    auto home = environment("HOME");
    return std::filesystem::path(home.empty() ? "." : home) / ".local/share/tender-server";
}

bool setAddress(std::string& host, unsigned short& port, const std::string& value)
{
    auto colon = value.rfind(':');
    if (colon == std::string::npos || colon == 0)
        return false;
    char* end = nullptr;
    long number = std::strtol(value.c_str() + colon + 1, &end, 10);
    if (*end != '\0' || number < 0 || number > 65535 || end == value.c_str() + colon + 1)
        return false;
    host = value.substr(0, colon);
    if (host.size() > 2 && host.front() == '[' && host.back() == ']')
        host = host.substr(1, host.size() - 2);
    port = static_cast<unsigned short>(number);
    return true;
}

bool setProxies(std::vector<std::string>& proxies, const std::string& value)
{
    proxies.clear();
    std::size_t start = 0;
    while (start <= value.size()) {
        auto end = std::min(value.find(',', start), value.size());
        boost::system::error_code error;
        auto address = boost::asio::ip::make_address(value.substr(start, end - start), error);
        if (error)
            return false;
        proxies.push_back(address.to_string());
        start = end + 1;
    }
    return true;
}

bool isLoopback(const std::string& host)
{
    boost::system::error_code error;
    auto address = boost::asio::ip::make_address(host, error);
    return !error && address.is_loopback();
}

// Development conveniences must not reach the internet by accident.
std::string refusalOffLoopback(const Options& o)
{
    if (isLoopback(o.host))
        return {};
    if (o.devSignin)
        return "--dev-signin (TENDER_SERVER_DEV_SIGNIN) lets anyone in without a password; it runs only with "
               "--listen on a loopback address, not " + o.host + "\n";
    if (!o.identityKeyGiven)
        return "without --identity-key (TENDER_IDENTITY_KEY) the service takes the development key; give the "
               "app's key to listen on " + o.host + ", or listen on a loopback address\n";
    return {};
}

bool setCount(unsigned& target, const std::string& value, unsigned low, unsigned high)
{
    char* end = nullptr;
    long number = std::strtol(value.c_str(), &end, 10);
    if (value.empty() || *end != '\0' || number < low || number > high)
        return false;
    target = static_cast<unsigned>(number);
    return true;
}

bool setFlag(bool& target, const std::string& value)
{
    if (value == "1" || value == "true" || value == "yes" || value.empty())
        target = true;
    else if (value == "0" || value == "false" || value == "no")
        target = false;
    else
        return false;
    return true;
}

bool setUrl(std::string& target, const std::string& value)
{
    if (!value.starts_with("http://") && !value.starts_with("https://"))
        return false;
    target = value;
    while (target.size() > 8 && target.back() == '/')
        target.pop_back();
    return true;
}

// "sqlite:" means the default; PostgreSQL URLs are checked by libpq's own parser.
bool setDatabase(std::string& target, const std::string& value)
{
    if (value == "sqlite:" || value == "sqlite") {
        target.clear();
        return true;
    }
    if (!isPostgresUrl(value))
        return false;
    target = value;
    return true;
}

struct Setting {
    const char* flag;
    const char* variable;
    bool takesValue;
    std::function<bool(Options&, const std::string&)> apply;
};

const std::vector<Setting>& settings()
{
    static const std::vector<Setting> all = {
        {"--listen", "TENDER_SERVER_LISTEN", true,
            [](Options& o, const std::string& v) { return setAddress(o.host, o.port, v); }},
        {"--data", "TENDER_SERVER_DATA", true,
            [](Options& o, const std::string& v) { o.dataDir = v; return !v.empty(); }},
        {"--web-base", "TENDER_WEB_BASE", true, [](Options& o, const std::string& v) { return setUrl(o.webBase, v); }},
        {"--identity-key", "TENDER_IDENTITY_KEY", true,
            [](Options& o, const std::string& v) { o.identityKey = v; o.identityKeyGiven = true; return !v.empty(); }},
        {"--dev-signin", "TENDER_SERVER_DEV_SIGNIN", false,
            [](Options& o, const std::string& v) { return setFlag(o.devSignin, v); }},
        {"--threads", "TENDER_SERVER_THREADS", true,
            [](Options& o, const std::string& v) { return setCount(o.threads, v, 1, 256); }},
        {"--stream-silence", "TENDER_SERVER_STREAM_SILENCE", true,
            [](Options& o, const std::string& v) { return setCount(o.streamSilenceSeconds, v, 1, 3600); }},
        {"--database", "TENDER_SERVER_DATABASE", true,
            [](Options& o, const std::string& v) { return setDatabase(o.database, v); }},
        {"--bus", "TENDER_SERVER_BUS", true,
            [](Options& o, const std::string& v) { return isNatsUrl(v) && (o.bus = v, true); }},
        {"--signing-key", "TENDER_SERVER_SIGNING_KEY", true,
            [](Options& o, const std::string& v) { o.signingKey = v; return !v.empty(); }},
        {"--database-connections", "TENDER_SERVER_DATABASE_CONNECTIONS", true,
            [](Options& o, const std::string& v) { return setCount(o.databaseConnections, v, 1, 64); }},
        {"--metrics-listen", "TENDER_SERVER_METRICS_LISTEN", true,
            [](Options& o, const std::string& v) { return setAddress(o.metricsHost, o.metricsPort, v); }},
        {"--trusted-proxy", "TENDER_SERVER_TRUSTED_PROXIES", true,
            [](Options& o, const std::string& v) { return setProxies(o.trustedProxies, v); }},
        {"--max-connections", "TENDER_SERVER_MAX_CONNECTIONS", true,
            [](Options& o, const std::string& v) { return setCount(o.maxConnections, v, 0, 10'000'000); }},
        {"--max-connections-per-client", "TENDER_SERVER_MAX_CONNECTIONS_PER_CLIENT", true,
            [](Options& o, const std::string& v) { return setCount(o.maxConnectionsPerClient, v, 1, 10'000'000); }},
        {"--max-streams-per-user", "TENDER_SERVER_MAX_STREAMS_PER_USER", true,
            [](Options& o, const std::string& v) { return setCount(o.maxStreamsPerUser, v, 1, 10'000); }},
        {"--max-streams-per-device", "TENDER_SERVER_MAX_STREAMS_PER_DEVICE", true,
            [](Options& o, const std::string& v) { return setCount(o.maxStreamsPerDevice, v, 1, 10'000); }},
        {"--slow-queue", "TENDER_SERVER_SLOW_QUEUE", true,
            [](Options& o, const std::string& v) { return setCount(o.slowQueue, v, 1, 100'000); }},
        {"--max-outbox", "TENDER_SERVER_MAX_OUTBOX", true,
            [](Options& o, const std::string& v) { return setCount(o.maxOutbox, v, 1, 10'000'000); }},
    };
    return all;
}

}

std::string usage()
{
    return "usage: tender-server [--listen HOST:PORT] [--data DIR] [--web-base URL] [--identity-key KEY]\n"
           "                     [--dev-signin] [--threads N] [--stream-silence SECONDS]\n"
           "                     [--database sqlite:|postgresql://...] [--bus nats://HOST:PORT]\n"
           "                     [--signing-key FILE] [--database-connections N]\n"
           "                     [--metrics-listen HOST:PORT] [--trusted-proxy ADDRESS[,ADDRESS...]]\n"
           "                     [--max-connections N] [--max-connections-per-client N] [--max-streams-per-user N]\n"
           "                     [--max-streams-per-device N] [--slow-queue N] [--max-outbox N]\n"
           "Each flag can also come from the environment: TENDER_SERVER_ and the flag's name in capitals\n"
           "(TENDER_SERVER_TRUSTED_PROXIES for --trusted-proxy), TENDER_WEB_BASE, TENDER_IDENTITY_KEY.\n"
           "Defaults: 127.0.0.1:8787, $XDG_DATA_HOME/tender-server, http:// and the listening address, the\n"
           "development identity key, one thread per core, 75 s, SQLite in the data directory, streams in this\n"
           "process, signing key in the data directory (on PostgreSQL: in the database), 8 database\n"
           "connections, /metrics on the main listener, no trusted proxy, connections up to the open-file\n"
           "limit, 1000 per client, 10 streams per user, 2 per device, 32 password checks at once, 10000\n"
           "mails in the outbox. --dev-signin and the development key run only on a loopback address.\n";
}

ParsedOptions parseOptions(const std::vector<std::string>& args)
{
    Options options;
    options.dataDir = defaultDataDir();
    for (const auto& s : settings()) {
        auto value = environment(s.variable);
        if (!value.empty() && !s.apply(options, value))
            return {std::nullopt, std::string("bad value of ") + s.variable + ": " + value + "\n" + usage(), true};
    }
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--help" || args[i] == "-h")
            return {std::nullopt, usage(), false};
        auto name = args[i].substr(0, args[i].find('='));
        auto setting = std::find_if(settings().begin(), settings().end(), [&](const Setting& s) { return name == s.flag; });
        if (setting == settings().end())
            return {std::nullopt, "unknown option " + args[i] + "\n" + usage(), true};
        std::string value;
        if (name.size() < args[i].size())
            value = args[i].substr(name.size() + 1);
        else if (setting->takesValue && i + 1 < args.size())
            value = args[++i];
        else if (setting->takesValue)
            return {std::nullopt, name + " needs a value\n" + usage(), true};
        if (!setting->apply(options, value))
            return {std::nullopt, "bad value of " + name + ": " + value + "\n" + usage(), true};
    }
    if (!options.bus.empty() && !options.onPostgres())
        return {std::nullopt, "--bus needs --database postgresql://...: nodes share their data there\n" + usage(), true};
    if (auto refusal = refusalOffLoopback(options); !refusal.empty())
        return {std::nullopt, "tender-server: " + refusal, true};
    return {options, "", false};
}

}
