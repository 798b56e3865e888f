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
    : clock_(clock)
    , pollInterval_(pollInterval)
    , snapshot_(std::move(snapshot))
{
    if (QNetworkInformation *information = loadReachabilityBackend())
        connect(information, &QNetworkInformation::reachabilityChanged, this, &QtNetworkPathMonitor::refresh);
    if (kernel == KernelReports::listen) {
        kernel_ = std::make_unique<InterfaceWatch>();
        connect(kernel_.get(), &InterfaceWatch::changed, this, [this] {
            refresh();
            pollUnlessHeard(); // the watch may have ended on an error
        });
    }
    name_ = NetworkPath::interfaceName(snapshot_());
    pollUnlessHeard();
}

// At rest the poll would be the one wake-up; the kernel's reports leave it nothing to find.
void QtNetworkPathMonitor::pollUnlessHeard()
{
    if (!poll_ && !(kernel_ && kernel_->isWatching()))
        poll_ = clock_.repeating(pollInterval_, [this] { refresh(); });
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
