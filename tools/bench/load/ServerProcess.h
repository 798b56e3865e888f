#pragma once
#include <sys/types.h>
#include <vector>

namespace tender::bench {

// The server under test as a child process on 127.0.0.1.
class ServerProcess {
public:
    virtual ~ServerProcess() = default;
    virtual void start() = 0;    // on any free port the first time, then on the same port
    virtual void killHard() = 0; // SIGKILL, reaped
    virtual void stop() = 0;     // SIGTERM, reaped
    virtual pid_t pid() const = 0;
    // Every process that serves, for CPU figures: more than one when several nodes and their
    // helpers serve together.
    virtual std::vector<pid_t> pids() const { return {pid()}; }
    // Of those, the ones that run tender-server.
    virtual std::vector<pid_t> nodePids() const { return {pid()}; }
    virtual unsigned short port() const = 0;
};

}
