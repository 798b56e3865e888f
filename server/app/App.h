#pragma once
#include "app/Options.h"

namespace tender::server {

// Opens the data directory, wires the service together and serves until SIGINT or SIGTERM.
int runServer(const Options& options);

}
