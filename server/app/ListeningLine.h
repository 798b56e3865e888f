#pragma once

#include <chrono>
#include <string>

namespace tender {

// Reads the first line tender-server prints on standard output ("tender-server
// listening on http://127.0.0.1:PORT ...") from `fd` and returns the port, for
// the programs that start it on port 0. Throws when the line does not come in time.
unsigned short readListeningPort(int fd, std::chrono::seconds timeout);
// The whole line, for a caller that wants more of it than the port.
std::string readListeningLine(int fd, std::chrono::seconds timeout);
// The port of the address that follows `after` ("listening on " the main address, "metrics on " the other).
unsigned short portIn(const std::string& line, const std::string& after = "listening on ");

} // namespace tender
