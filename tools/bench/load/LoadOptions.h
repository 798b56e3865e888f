#pragma once
#include <optional>
#include <string>
#include <vector>

namespace tender::bench {

// The tender-server built alongside.
std::string defaultServerBinary();

struct LoadOptions {
    enum class Mode { speed, storm, fairness };
    enum class Against { tender, nats };
    Mode mode = Mode::speed;
    Against against = Against::tender;
    unsigned users = 1000;          // one stream each
    unsigned contactsPerUser = 10;  // mutual: each listed person lists the user back
    double rate = 2000;             // offered signals per second; 0 holds idle streams
    unsigned seconds = 10;          // how long signals are offered (speed) or how long after restart we watch (storm)
    unsigned pingSeconds = 30;
    unsigned httpConnections = 128; // keep-alive connections carrying the POSTs
    unsigned serverThreads = 1;
    int serverCpu = -1;             // -1: no pinning
    int clientCpu = -1;
    unsigned downSeconds = 1;       // storm: how long the server stays dead
    bool control = false;           // fairness: the flooded reader keeps reading, for comparison
    std::string serverBinary = defaultServerBinary();
    std::string natsBinary = "/usr/sbin/nats-server";
    bool natsVerbose = false;       // each PUB answered +OK and waited for, as a POST is
    bool cluster = false;           // speed: one node, then two behind HAProxy; storm: one of two killed
};

struct ParsedLoadOptions {
    std::optional<LoadOptions> options;
    std::string message;
};

ParsedLoadOptions parseLoadOptions(const std::vector<std::string>& args);

}
