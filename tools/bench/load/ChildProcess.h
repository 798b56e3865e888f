#pragma once
#include <string>
#include <sys/types.h>
#include <vector>

namespace tender::bench {

// Forks and runs `args`, pinned to `cpu` (-1: anywhere), stdout to `out` (-1: /dev/null), stderr to /dev/null.
pid_t spawnPinned(const std::vector<std::string>& args, int cpu, int out);
void killAndReap(pid_t pid, int signal);
unsigned short freePort();
bool accepts(unsigned short port); // something listens on 127.0.0.1:port

}
