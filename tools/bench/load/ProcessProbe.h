#pragma once
#include <cstdint>
#include <map>
#include <sys/types.h>
#include <vector>

namespace tender::bench {

// What /proc says about a process and about the kernel as a whole.
std::int64_t residentBytes(pid_t pid);
double cpuSeconds(pid_t pid);
// CPU seconds by process, and what a set of processes used since such a reading (all of it for
// one that started meanwhile).
std::map<pid_t, double> cpuReading(const std::vector<pid_t>& pids);
double cpuSince(const std::map<pid_t, double>& before, const std::vector<pid_t>& pids);
// Slab plus TCP buffer memory, machine-wide: other work on the machine shows up here too.
std::int64_t kernelNetworkBytes();

}
