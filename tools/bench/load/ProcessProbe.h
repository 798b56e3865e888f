#pragma once
#include <cstdint>
#include <sys/types.h>

namespace tender::bench {

// What /proc says about a process and about the kernel as a whole.
std::int64_t residentBytes(pid_t pid);
double cpuSeconds(pid_t pid);
// Slab plus TCP buffer memory, machine-wide: other work on the machine shows up here too.
std::int64_t kernelNetworkBytes();

}
