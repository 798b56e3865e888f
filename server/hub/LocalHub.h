#pragma once
#include "hub/AnyonePool.h"
#include "hub/Hub.h"
#include <functional>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace tender::server {

// The registry of this process's open streams. Sends happen outside the lock on copies of the
// entries, so a slow stream never holds up the others.
class LocalHub final : public Hub {
public:
    void attach(const std::shared_ptr<Subscriber>& subscriber, std::function<void()> afterReady = {}) override;
    void detach(const Subscriber& subscriber) override;
    void syncUser(const std::string& uid) override;
    bool signalUser(const std::string& uid) override;
    Stranger signalStranger(const std::string& senderUid) override;

    // The registry alone, for a bus that delivers through it: no "ready", no strangers' pool
    // (detach takes it out again).
    void add(const std::shared_ptr<Subscriber>& subscriber);
    // Sends the frame to the user's app streams that accept strangers; false when there are none.
    bool signalOpenStreams(const std::string& uid);
    void closeDevice(const std::string& uid, const std::string& deviceId) override;
    void closeUser(const std::string& uid) override;
    void closeAll() override;

private:
    struct Entry {
        const Subscriber* key;
        std::weak_ptr<Subscriber> subscriber;
    };
    using Filter = std::function<bool(const Audience&)>;
    std::vector<std::shared_ptr<Subscriber>> streamsOf(const std::string& uid, const Filter& wanted);

    std::mutex mutex_;
    std::unordered_map<std::string, std::vector<Entry>> byUser_;
    AnyonePool anyone_;
};

}
