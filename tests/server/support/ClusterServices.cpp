#include "support/ClusterServices.h"
#include "load/ChildProcess.h"
#include "support/Probes.h"
#include <csignal>
#include <cstdlib>
#include <stdexcept>
#include <unistd.h>
#include <utility>

namespace tender::testing {
namespace {

constexpr const char* natsBinary = "/usr/sbin/nats-server";
const std::string postgresScript = TENDER_SOURCE_DIR "/tests/support/private-postgres";

void run(const std::string& command)
{
    if (std::system(command.c_str()) != 0)
        throw std::runtime_error("failed: " + command);
}

}

std::string ClusterServices::missing()
{
    if (::access(natsBinary, X_OK) != 0)
        return "nats-server is not installed (Debian: nats-server); scripts/install-deps installs it";
    if (std::system("ls /usr/lib/postgresql/*/bin/postgres >/dev/null 2>&1") != 0)
        return "PostgreSQL is not installed (Debian: postgresql-15); scripts/install-deps installs it";
    return {};
}

ClusterServices* ClusterServices::shared()
{
    static std::unique_ptr<ClusterServices> services(missing().empty() ? new ClusterServices : nullptr);
    return services.get();
}

ClusterServices::ClusterServices()
    : databasePort_(bench::freePort())
{
    startDatabase();
    busPort_ = bench::freePort();
    startBus();
}

ClusterServices::~ClusterServices()
{
    stopBus();
    stopDatabase();
}

void ClusterServices::startDatabase()
{
    run(postgresScript + " start " + dir_.path().string() + "/postgres " + std::to_string(databasePort_)
        + " --no-fsync >/dev/null");
}

void ClusterServices::stopDatabase()
{
    std::system((postgresScript + " stop " + dir_.path().string() + "/postgres").c_str());
}

std::string ClusterServices::freshDatabase()
{
    auto name = "test" + std::to_string(++databases_);
    auto server = "postgresql://tender@127.0.0.1:" + std::to_string(databasePort_) + "/";
    run("psql -q '" + server + "postgres' -c 'CREATE DATABASE " + name + "'");
    return server + name;
}

void ClusterServices::startBus()
{
    bus_ = bench::spawnPinned({natsBinary, "-a", "127.0.0.1", "-p", std::to_string(busPort_)}, -1, -1);
    if (!eventually([&] { return bench::accepts(busPort_); }))
        throw std::runtime_error("nats-server did not start");
}

void ClusterServices::stopBus()
{
    bench::killAndReap(std::exchange(bus_, -1), SIGKILL);
}

}
