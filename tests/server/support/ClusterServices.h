#pragma once
#include "support/TempDir.h"
#include <memory>
#include <string>
#include <sys/types.h>

namespace tender::testing {

// A private PostgreSQL and a nats-server on free loopback ports, started once per test program
// (tests/support/private-postgres does the PostgreSQL part, as for scripts/cluster) and stopped at exit.
class ClusterServices {
public:
    // The running pair, or nullptr when PostgreSQL or nats-server is not installed (see `missing`).
    static ClusterServices* shared();
    static std::string missing();

    ~ClusterServices();
    // A new empty database on the shared server.
    std::string freshDatabase();
    std::string busUrl() const { return "nats://127.0.0.1:" + std::to_string(busPort_); }
    void stopBus();
    void startBus(); // on the same port again
    void stopDatabase();
    void startDatabase(); // on the same port again, with what it held

private:
    ClusterServices();

    TempDir dir_;
    unsigned short databasePort_ = 0;
    unsigned short busPort_ = 0;
    pid_t bus_ = -1;
    int databases_ = 0;
};

}
