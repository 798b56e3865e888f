#include "platform/QtNetworkPathMonitor.h"

#include <QNetworkInformation>

namespace tender {

namespace {

// Without NetworkManager the default backend fails; glib's monitor works on
// netlink alone.
QNetworkInformation *loadReachabilityBackend()
{
    if (!QNetworkInformation::instance() && !QNetworkInformation::loadDefaultBackend())
        QNetworkInformation::loadBackendByName(u"glib");
    return QNetworkInformation::instance();
}

} // namespace

QtNetworkPathMonitor::QtNetworkPathMonitor(Clock &clock, Milliseconds pollInterval, Snapshot snapshot)
    : snapshot_(std::move(snapshot))
{
    if (QNetworkInformation *information = loadReachabilityBackend())
        connect(information, &QNetworkInformation::reachabilityChanged, this, &QtNetworkPathMonitor::refresh);
    connect(&kernel_, &InterfaceWatch::changed, this, &QtNetworkPathMonitor::refresh);
    name_ = NetworkPath::interfaceName(snapshot_());
    const Milliseconds interval = kernel_.isWatching() ? pollInterval : std::min(pollInterval, blindPollInterval);
    poll_ = clock.repeating(interval, [this] { refresh(); });
}

void QtNetworkPathMonitor::refresh()
{
    auto name = NetworkPath::interfaceName(snapshot_());
    if (name == name_)
        return;
    name_ = std::move(name);
    onChange(name_);
}

} // namespace tender
