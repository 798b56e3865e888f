#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace tender {

struct NetworkInterfaceState {
    QString name;
    bool up = false;
    bool running = false;
    bool loopback = false;
};

// What the system says about reaching the network at all; Unknown where it has
// no way to tell.
enum class NetworkReachability { Unknown, Disconnected, Connected };

struct NetworkSnapshot {
    NetworkReachability reachability = NetworkReachability::Unknown;
    QList<NetworkInterfaceState> interfaces;
};

namespace NetworkPath {

// The name of the first usable interface (up, running, not loopback); "?" when
// the system reports a connection but no such interface; absent when there is
// no usable network. Without a report, the interfaces alone decide.
std::optional<QString> interfaceName(const NetworkSnapshot &snapshot);

// The machine's interfaces now, in the system's order, with Qt's reachability
// where a backend is loaded.
NetworkSnapshot systemSnapshot();

} // namespace NetworkPath

} // namespace tender
