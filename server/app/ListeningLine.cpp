#include "app/ListeningLine.h"

#include <poll.h>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace tender {

unsigned short readListeningPort(int fd, std::chrono::seconds timeout)
{
    return portIn(readListeningLine(fd, timeout));
}

unsigned short portIn(const std::string& line, const std::string& after)
{
    const auto at = line.find(after);
    const auto end = line.find_first_of(" ,)", at + after.size());
    const auto colon = at == std::string::npos ? std::string::npos : line.rfind(':', end);
    if (at == std::string::npos || colon == std::string::npos || colon < at)
        throw std::runtime_error("no \"" + after + "\" address in " + line);
    return static_cast<unsigned short>(std::stoi(line.substr(colon + 1)));
}

std::string readListeningLine(int fd, std::chrono::seconds timeout)
{
    std::string line;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (line.find('\n') == std::string::npos) {
        pollfd p{fd, POLLIN, 0};
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0)
            throw std::runtime_error("tender-server did not say where it listens");
        char chunk[256];
        const auto got = ::read(fd, chunk, sizeof chunk);
        if (got <= 0)
            throw std::runtime_error("tender-server exited before listening");
        line.append(chunk, static_cast<std::size_t>(got));
    }
    return line.substr(0, line.find('\n'));
}

} // namespace tender
