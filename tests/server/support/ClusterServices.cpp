#include "support/ClusterServices.h"
#include "support/Probes.h"
#include <boost/asio/ip/tcp.hpp>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace tender::testing {
namespace {

namespace net = boost::asio;
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

bool accepts(unsigned short port)
{
    net::io_context io;
    net::ip::tcp::socket socket(io);
    boost::system::error_code error;
    socket.connect({net::ip::address_v4::loopback(), port}, error);
    return !error;
}

}

unsigned short freeLoopbackPort()
{
    net::io_context io;
    net::ip::tcp::acceptor bound(io, {net::ip::address_v4::loopback(), 0});
    return bound.local_endpoint().port();
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
    : databasePort_(freeLoopbackPort())
{
    startDatabase();
    busPort_ = freeLoopbackPort();
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
    bus_ = ::fork();
    if (bus_ == 0) {
        int devNull = ::open("/dev/null", O_WRONLY);
        ::dup2(devNull, STDOUT_FILENO);
        ::dup2(devNull, STDERR_FILENO);
        auto port = std::to_string(busPort_);
        ::execl(natsBinary, natsBinary, "-a", "127.0.0.1", "-p", port.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    if (!eventually([&] { return accepts(busPort_); }))
        throw std::runtime_error("nats-server did not start");
}

void ClusterServices::stopBus()
{
    if (bus_ <= 0)
        return;
    ::kill(bus_, SIGKILL);
    ::waitpid(bus_, nullptr, 0);
    bus_ = -1;
}

}
