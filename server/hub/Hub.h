#pragma once
#include "hub/Subscriber.h"
#include <functional>
#include <memory>
#include <string>

namespace tender::server {

// Live delivery to open streams: this process's registry, or a bus between several nodes.
// Every call reaches the streams of every node.
class Hub {
public:
    virtual ~Hub() = default;

    // Registers the stream, then sends it "ready" once frames for its user reach it, then runs
    // `afterReady` (in place, or on a thread of the hub's own).
    virtual void attach(const std::shared_ptr<Subscriber>& subscriber, std::function<void()> afterReady = {}) = 0;
    virtual void detach(const Subscriber& subscriber) = 0;

    // "sync" to the user's own app streams.
    virtual void syncUser(const std::string& uid) = 0;
    // A signal to the user's app streams and receiving devices; false when it could not be handed
    // on, so it must not be acknowledged.
    virtual bool signalUser(const std::string& uid) = 0;
    enum class Stranger { reached, nobody, unavailable };
    // A signal to one uniformly chosen other user who accepts strangers' signals.
    virtual Stranger signalStranger(const std::string& senderUid) = 0;

    virtual void closeDevice(const std::string& uid, const std::string& deviceId) = 0;
    virtual void closeUser(const std::string& uid) = 0;
    virtual void closeAll() = 0;
};

}
