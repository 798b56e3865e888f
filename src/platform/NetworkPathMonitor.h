#pragma once

#include <QString>

#include <functional>
#include <optional>

namespace tender {

// Watches which network interface the machine uses.
class NetworkPathMonitor {
public:
    virtual ~NetworkPathMonitor() = default;

    // The first usable interface's name; "?" when connected through none that
    // is listed; absent without a usable network.
    virtual std::optional<QString> interfaceName() const = 0;

    // Called on the main thread each time interfaceName() changes, with the new value.
    std::function<void(const std::optional<QString> &)> onChange = [](const std::optional<QString> &) {};
};

} // namespace tender
