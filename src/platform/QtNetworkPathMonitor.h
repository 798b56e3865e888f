#pragma once

#include "platform/Clock.h"
#include "platform/InterfaceWatch.h"
#include "platform/NetworkPath.h"
#include "platform/NetworkPathMonitor.h"

#include <QObject>

namespace tender {

// Qt's reachability reports plus snapshots of the interface list, taken when
// Qt or the kernel reports a change and on a slow poll, since no Qt backend
// reports a switch from one interface to another.
class QtNetworkPathMonitor final : public QObject, public NetworkPathMonitor {
    Q_OBJECT
public:
    using Snapshot = std::function<NetworkSnapshot()>;
    // Only a safety net where the kernel reports changes; at rest it is the one wake-up.
    static constexpr Milliseconds defaultPollInterval{60'000};
    // Where it cannot, the poll is all there is.
    static constexpr Milliseconds blindPollInterval{5000};

    explicit QtNetworkPathMonitor(Clock &clock, Milliseconds pollInterval = defaultPollInterval,
                                  Snapshot snapshot = NetworkPath::systemSnapshot);

    std::optional<QString> interfaceName() const override { return name_; }

    // Re-reads the interfaces and reports a change of the name.
    void refresh();

private:
    Snapshot snapshot_;
    InterfaceWatch kernel_;
    std::optional<QString> name_;
    std::unique_ptr<Timer> poll_;
};

} // namespace tender
