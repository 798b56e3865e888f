#include "load/LoadOptions.h"
#include <stdexcept>

namespace tender::bench {
namespace {

const char* usageText =
    "usage: tender-load [--mode speed|storm|fairness] [--users N] [--contacts K] [--rate PER_SECOND] [--seconds S]\n"
    "                   [--ping S] [--http-connections N] [--server-threads N] [--server-cpu C] [--client-cpu C]\n"
    "                   [--down S] [--control yes|no] [--server PATH] [--against tender|nats] [--nats-server PATH]\n"
    "                   [--nats-verbose yes|no] [--cluster]\n"
    "Starts tender-server on 127.0.0.1 with a prepared database, opens one stream per user and offers\n"
    "signals between people who list each other at a fixed rate. storm: kill -9, restart, time the return.\n"
    "fairness: the same, with one stream that stops reading and one that never pings\n"
    "(--control yes: the flooded stream keeps reading, to compare the others' latency).\n"
    "--against nats: the speed run against nats-server's WebSocket listener, one subject per user\n"
    "(--nats-verbose yes: each PUB is answered +OK and the publisher waits for it, as for a POST's 202).\n"
    "--cluster: the speed run on one node, then through HAProxy on two nodes over PostgreSQL and\n"
    "nats-server with every heart crossing from one node to the other, in one table; with --mode storm\n"
    "one of the two nodes is killed and the streams' return to the other is timed.\n";

unsigned positive(const std::string& text) { return static_cast<unsigned>(std::stoul(text)); }

void apply(LoadOptions& o, const std::string& flag, const std::string& value)
{
    if (flag == "--mode") {
        if (value == "speed")
            o.mode = LoadOptions::Mode::speed;
        else if (value == "storm")
            o.mode = LoadOptions::Mode::storm;
        else if (value == "fairness")
            o.mode = LoadOptions::Mode::fairness;
        else
            throw std::invalid_argument("mode");
    } else if (flag == "--users") o.users = positive(value);
    else if (flag == "--contacts") o.contactsPerUser = positive(value);
    else if (flag == "--rate") o.rate = std::stod(value);
    else if (flag == "--seconds") o.seconds = positive(value);
    else if (flag == "--ping") o.pingSeconds = positive(value);
    else if (flag == "--http-connections") o.httpConnections = positive(value);
    else if (flag == "--server-threads") o.serverThreads = positive(value);
    else if (flag == "--server-cpu") o.serverCpu = std::stoi(value);
    else if (flag == "--client-cpu") o.clientCpu = std::stoi(value);
    else if (flag == "--down") o.downSeconds = positive(value);
    else if (flag == "--control") o.control = value == "yes";
    else if (flag == "--server") o.serverBinary = value;
    else if (flag == "--nats-server") o.natsBinary = value;
    else if (flag == "--nats-verbose") o.natsVerbose = value == "yes";
    else if (flag == "--against") {
        if (value != "tender" && value != "nats")
            throw std::invalid_argument("against");
        o.against = value == "nats" ? LoadOptions::Against::nats : LoadOptions::Against::tender;
    }
    else throw std::invalid_argument(flag);
}

}

std::string defaultServerBinary()
{
    return TENDER_SERVER_BINARY;
}

ParsedLoadOptions parseLoadOptions(const std::vector<std::string>& args)
{
    LoadOptions options;
    for (std::size_t i = 0; i < args.size(); i += 2) {
        if (args[i] == "--cluster") {
            options.cluster = true;
            --i;
            continue;
        }
        if (args[i] == "--help" || i + 1 >= args.size())
            return {std::nullopt, usageText};
        try {
            apply(options, args[i], args[i + 1]);
        } catch (const std::exception&) {
            return {std::nullopt, "bad value for " + args[i] + "\n" + usageText};
        }
    }
    if (options.users < 2 || options.contactsPerUser < 2 || options.contactsPerUser >= options.users
        || options.httpConnections == 0 || options.rate < 0)
        return {std::nullopt, std::string("need at least 2 users, 2 <= contacts < users, a rate >= 0\n") + usageText};
    if (options.cluster && (options.against == LoadOptions::Against::nats || options.mode == LoadOptions::Mode::fairness))
        return {std::nullopt, std::string("--cluster runs the speed and storm modes against tender-server\n") + usageText};
    if (options.against == LoadOptions::Against::nats && options.mode != LoadOptions::Mode::speed)
        return {std::nullopt, std::string("--against nats runs the speed mode only\n") + usageText};
    options.contactsPerUser -= options.contactsPerUser % 2; // neighbours on both sides of a ring
    return {options, ""};
}

}
