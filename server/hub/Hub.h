#pragma once
#include "hub/Subscriber.h"
#include <memory>
#include <string>

namespace tender::server {

// Live delivery to open streams. This process's registry backs it today; a pub/sub engine can
// take its place when streams live on several machines.
class Hub {
public:
    virtual ~Hub() = default;

    virtual void attach(const std::shared_ptr<Subscriber>& subscriber) = 0;
    virtual void detach(const Subscriber& subscriber) = 0;

    // "sync" to the user's own app streams.
    virtual void syncUser(const std::string& uid) = 0;
    // A signal to the user's app streams and receiving devices.
    virtual void signalUser(const std::string& uid) = 0;
    // A signal to one uniformly chosen other user who accepts strangers' signals; false when nobody does.
    virtual bool signalStranger(const std::string& senderUid) = 0;

    virtual void closeDevice(const std::string& uid, const std::string& deviceId) = 0;
    virtual void closeUser(const std::string& uid) = 0;
    virtual void closeAll() = 0;
};

}
