#include "support/ClusterServices.h"
#include "load/ChildProcess.h"
#include "support/Probes.h"
#include <csignal>
#include <cstdio>
#include <stdexcept>
#include <unistd.h>
#include <utility>

namespace tender::testing {
namespace {

constexpr const char* natsBinary = "/usr/sbin/nats-server";
const std::string postgresScript = TENDER_SOURCE_DIR "/tests/support/private-postgres";

// What `command` printed, without the last line break; throws when it fails.
std::string run(const std::string& command)
{
    std::string output;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        throw std::runtime_error("cannot run " + command);
    char chunk[256];
    while (std::fgets(chunk, sizeof chunk, pipe))
        output += chunk;
    if (::pclose(pipe) != 0)
        throw std::runtime_error("failed: " + command + "\n" + output);
    while (!output.empty() && output.back() == '\n')
        output.pop_back();
    return output;
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
    auto url = run(postgresScript + " start " + dir_.path().string() + "/postgres "
        + std::to_string(databasePort_) + " --no-fsync");
    adminUrl_ = url.substr(0, url.rfind('/')) + "/postgres";
}

void ClusterServices::stopDatabase()
{
    std::system((postgresScript + " stop " + dir_.path().string() + "/postgres").c_str());
}

std::string ClusterServices::freshDatabase()
{
    auto name = "test" + std::to_string(++databases_);
    run("psql -q '" + adminUrl_ + "' -c 'CREATE DATABASE " + name + "'");
    return adminUrl_.substr(0, adminUrl_.rfind('/')) + "/" + name;
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
