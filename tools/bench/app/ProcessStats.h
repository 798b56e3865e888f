#pragma once

#include <QMap>
#include <QString>

#include <sys/types.h>

namespace tender::bench {

// What /proc says about every thread of a process at one moment.
struct ProcessStats {
    double cpuSeconds = 0;   // time on a CPU, all threads (schedstat)
    qint64 switches = 0;     // voluntary and involuntary context switches, all threads
    qint64 residentKiB = 0;  // VmRSS
    int threads = 0;
    // Thread id → (name, context switches).
    QMap<QString, std::pair<QString, qint64>> byThread;

    static ProcessStats of(pid_t pid);
};

// How many TCP connections the process holds established to `port` (of any host).
int establishedConnections(pid_t pid, quint16 port);

} // namespace tender::bench
