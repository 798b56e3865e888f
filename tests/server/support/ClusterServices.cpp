#include "support/ClusterServices.h"
#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <libpq-fe.h>
#include <netinet/in.h>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace tender::testing {
namespace {

constexpr const char* natsBinary = "/usr/sbin/nats-server";
const std::string postgresScript = TENDER_SOURCE_DIR "/tests/support/private-postgres";

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
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bool connected = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return connected;
}

void execute(const std::string& url, const std::string& sql)
{
    PGconn* connection = PQconnectdb(url.c_str());
    PGresult* result = PQexec(connection, sql.c_str());
    bool ok = PQresultStatus(result) == PGRES_COMMAND_OK;
    std::string error = PQerrorMessage(connection);
    PQclear(result);
    PQfinish(connection);
    if (!ok)
        throw std::runtime_error(sql + ": " + error);
}

}

unsigned short freeLoopbackPort()
{
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    bool bound = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0
        && ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0;
    ::close(fd);
    if (!bound)
        throw std::runtime_error("no free port");
    return ntohs(address.sin_port);
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
    static std::unique_ptr<ClusterServices> services = missing().empty() ? std::unique_ptr<ClusterServices>(new ClusterServices) : nullptr;
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
    auto url = run(postgresScript + " start " + dir_.path().string() + "/postgres " + std::to_string(databasePort_)
        + " --no-fsync");
    adminUrl_ = url.substr(0, url.rfind('/')) + "/postgres";
}

void ClusterServices::stopDatabase()
{
    std::system((postgresScript + " stop " + dir_.path().string() + "/postgres").c_str());
}

std::string ClusterServices::freshDatabase()
{
    auto name = "test" + std::to_string(++databases_);
    execute(adminUrl_, "CREATE DATABASE " + name);
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
    for (int i = 0; i < 200 && !accepts(busPort_); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    if (!accepts(busPort_))
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
