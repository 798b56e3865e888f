#include "crypto/SecretFile.h"
#include <fcntl.h>
#include <sodium.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace tender::server {
namespace {

constexpr std::size_t secretSize = 32;

std::string readSecret(const std::filesystem::path& path)
{
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw std::runtime_error("cannot read " + path.string());
    std::string secret(secretSize, '\0');
    auto got = ::read(fd, secret.data(), secret.size());
    ::close(fd);
    if (got != static_cast<ssize_t>(secretSize))
        throw std::runtime_error(path.string() + " is damaged: expected 32 bytes");
    return secret;
}

void writeSecret(const std::filesystem::path& path)
{
    auto temporary = path;
    temporary += ".new";
    int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        throw std::runtime_error("cannot create " + temporary.string());
    std::string secret(secretSize, '\0');
    randombytes_buf(secret.data(), secret.size());
    bool written = ::write(fd, secret.data(), secret.size()) == static_cast<ssize_t>(secretSize) && ::fsync(fd) == 0;
    ::close(fd);
    if (!written || ::rename(temporary.c_str(), path.c_str()) != 0)
        throw std::runtime_error("cannot write " + path.string());
    // The rename is durable only once the directory is: a crash before that could lose the key
    // after tokens signed with it went out.
    auto directory = path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
    int dir = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    bool synced = dir >= 0 && ::fsync(dir) == 0;
    if (dir >= 0)
        ::close(dir);
    if (!synced)
        throw std::runtime_error("cannot sync the directory of " + path.string());
}

}

std::string loadOrCreateSecret(const std::filesystem::path& path)
{
    if (!std::filesystem::exists(path))
        writeSecret(path);
    return readSecret(path);
}

}
