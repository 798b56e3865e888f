#pragma once
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tender::server {

struct Options {
    std::string host = "127.0.0.1";
    unsigned short port = 8787;
    std::filesystem::path dataDir;
    std::string webBase; // empty: http:// and the listening address
    std::string identityKey = TENDER_DEFAULT_IDENTITY_KEY;
    bool identityKeyGiven = false;
    bool devSignin = false;
    unsigned threads = 0; // 0: one per core
    unsigned streamSilenceSeconds = 75;
    std::string database;   // empty: SQLite in the data directory; else a postgresql:// URL
    std::string bus;        // empty: streams live in this process; else nats://HOST:PORT
    std::filesystem::path signingKey; // empty: in the data directory, or in the database
    unsigned databaseConnections = 8;

    std::string metricsHost; // empty: /metrics on the main listener
    unsigned short metricsPort = 0;
    std::vector<std::string> trustedProxies; // addresses whose X-Forwarded-For is believed
    unsigned maxConnections = 0; // 0: as many as the open-file limit allows
    unsigned maxConnectionsPerClient = 1000;
    unsigned maxStreamsPerUser = 10;
    unsigned maxStreamsPerDevice = 2;
    unsigned slowQueue = 32; // password checks running or waiting, in all
    unsigned maxOutbox = 10000; // reset mails waiting for the mailer

    bool onPostgres() const { return !database.empty(); }
};

struct ParsedOptions {
    std::optional<Options> options; // absent when the program should only print `message`
    std::string message;
    bool failed = false;
};

// Flags win over environment variables, which win over the defaults.
ParsedOptions parseOptions(const std::vector<std::string>& args);

std::string usage();

}
