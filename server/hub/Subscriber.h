#pragma once
#include <memory>
#include <optional>
#include <string>

namespace tender::server {

using Frame = std::shared_ptr<const std::string>;

// Who an open stream belongs to and what it wants to hear.
struct Audience {
    std::string uid;
    std::optional<std::string> deviceId; // present for a device's stream
    bool receivesSignals = true;         // devices without "receive" only keep a connection
    bool acceptsAnyone = true;           // strangers' signals; never for devices
};

// One open stream. Both calls are safe from any thread and never block.
class Subscriber {
public:
    virtual ~Subscriber() = default;
    virtual const Audience& audience() const = 0;
    virtual void send(Frame frame) = 0;
    enum class CloseReason { shutdown, revoked };
    virtual void close(CloseReason reason) = 0;
};

namespace frames {
Frame ready();
Frame sync();
Frame signal();
}

}
