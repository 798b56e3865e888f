#include "platform/NetworkPath.h"

#include <QNetworkInformation>
#include <QNetworkInterface>

namespace tender::NetworkPath {

namespace {

NetworkReachability systemReachability()
{
    const QNetworkInformation *information = QNetworkInformation::instance();
    if (!information)
        return NetworkReachability::Unknown;
    switch (information->reachability()) {
    case QNetworkInformation::Reachability::Unknown:
        return NetworkReachability::Unknown;
    case QNetworkInformation::Reachability::Disconnected:
        return NetworkReachability::Disconnected;
    case QNetworkInformation::Reachability::Local:
    case QNetworkInformation::Reachability::Site:
    case QNetworkInformation::Reachability::Online:
        return NetworkReachability::Connected;
    }
    return NetworkReachability::Unknown;
}

} // namespace

std::optional<QString> interfaceName(const NetworkSnapshot &snapshot)
{
    if (snapshot.reachability == NetworkReachability::Disconnected)
        return std::nullopt;
    for (const NetworkInterfaceState &state : snapshot.interfaces)
        if (state.up && state.running && !state.loopback)
            return state.name;
    if (snapshot.reachability == NetworkReachability::Connected)
        return QStringLiteral("?");
    return std::nullopt;
}

NetworkSnapshot systemSnapshot()
{
    NetworkSnapshot snapshot{systemReachability(), {}};
    for (const QNetworkInterface &interface : QNetworkInterface::allInterfaces()) {
        const auto flags = interface.flags();
        snapshot.interfaces << NetworkInterfaceState{
            interface.name(),
            flags.testFlag(QNetworkInterface::IsUp),
            flags.testFlag(QNetworkInterface::IsRunning),
            flags.testFlag(QNetworkInterface::IsLoopBack),
        };
    }
    return snapshot;
}

} // namespace tender::NetworkPath
