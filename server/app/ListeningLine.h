#pragma once

#include <chrono>

namespace tender {

// Reads the first line tender-server prints on standard output ("tender-server
// listening on http://127.0.0.1:PORT ...") from `fd` and returns the port, for
// the programs that start it on port 0. Throws when the line does not come in time.
unsigned short readListeningPort(int fd, std::chrono::seconds timeout);

} // namespace tender
