#pragma once

#include "platform/Clock.h"
#include "platform/InterfaceWatch.h"
#include "platform/NetworkPath.h"
#include "platform/NetworkPathMonitor.h"

#include <QObject>

namespace tender {

// Qt's reachability reports plus snapshots of the interface list, taken when
// Qt or the kernel reports a change; where the kernel cannot be heard, on a
// poll, since no Qt backend reports a switch from one interface to another.
class QtNetworkPathMonitor final : public QObject, public NetworkPathMonitor {
    Q_OBJECT
public:
    using Snapshot = std::function<NetworkSnapshot()>;
    enum class KernelReports { listen, ignore };
    static constexpr Milliseconds defaultPollInterval{5000};

    explicit QtNetworkPathMonitor(Clock &clock, Milliseconds pollInterval = defaultPollInterval,
                                  Snapshot snapshot = NetworkPath::systemSnapshot,
                                  KernelReports kernel = KernelReports::listen);

    std::optional<QString> interfaceName() const override { return name_; }

    // Re-reads the interfaces and reports a change of the name.
    void refresh();

private:
    void pollUnlessHeard();

    Clock &clock_;
    Milliseconds pollInterval_;
    Snapshot snapshot_;
    std::unique_ptr<InterfaceWatch> kernel_;
    std::optional<QString> name_;
    std::unique_ptr<Timer> poll_;
};

} // namespace tender
