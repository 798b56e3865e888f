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

QtNetworkPathMonitor::QtNetworkPathMonitor(Clock &clock, Milliseconds pollInterval, Snapshot snapshot, KernelReports kernel)
    : snapshot_(std::move(snapshot))
{
    if (QNetworkInformation *information = loadReachabilityBackend())
        connect(information, &QNetworkInformation::reachabilityChanged, this, &QtNetworkPathMonitor::refresh);
    if (kernel == KernelReports::listen) {
        kernel_ = std::make_unique<InterfaceWatch>();
        connect(kernel_.get(), &InterfaceWatch::changed, this, &QtNetworkPathMonitor::refresh);
    }
    name_ = NetworkPath::interfaceName(snapshot_());
    // At rest the poll would be the one wake-up; the kernel's reports leave it nothing to find.
    if (!kernel_ || !kernel_->isWatching())
        poll_ = clock.repeating(pollInterval, [this] { refresh(); });
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
