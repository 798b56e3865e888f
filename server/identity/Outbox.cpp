#include "identity/Outbox.h"
#include "common/Random.h"
#include "common/Time.h"
#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>

namespace tender::server {

Outbox::Outbox(std::filesystem::path directory, std::size_t maxMessages)
    : directory_(std::move(directory))
    , maxMessages_(maxMessages)
{
    std::filesystem::create_directories(directory_);
    std::filesystem::permissions(directory_, std::filesystem::perms::owner_all);
}

bool Outbox::hasRoom() const
{
    std::size_t waiting = 0;
    for (auto it = std::filesystem::directory_iterator(directory_); it != std::filesystem::directory_iterator(); ++it)
        if (++waiting >= maxMessages_)
            return false;
    return true;
}

void Outbox::send(const std::string& to, const std::string& subject, const std::string& text)
{
    auto path = directory_ / (std::to_string(nowMs()) + "-" + randomId(8) + ".eml");
    std::string message = "To: " + to + "\nSubject: " + subject + "\nContent-Type: text/plain; charset=utf-8\n\n"
        + text + "\n";
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        throw std::runtime_error("cannot write to the outbox");
    bool written = ::write(fd, message.data(), message.size()) == static_cast<ssize_t>(message.size());
    ::close(fd);
    if (!written)
        throw std::runtime_error("cannot write to the outbox");
}

}
