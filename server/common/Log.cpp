#include "common/Log.h"
#include "common/LogWriter.h"
#include <unistd.h>

namespace tender::server {

void logLine(std::string_view line)
{
    static LogWriter writer(STDERR_FILENO, 4 * 1024 * 1024);
    writer.append(line);
}

}
