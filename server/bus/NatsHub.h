#pragma once
#include "bus/BusConnection.h"
#include "hub/LocalHub.h"
#include "postgres/PgPresence.h"
#include <condition_variable>
#include <thread>

namespace tender::server {

// Delivery over every node through nats-server: one subject per user, subscribed while this node
// holds a stream of theirs. Each call delivers to this node's streams itself and publishes for
// the others. Subscribing, telling new streams "ready" and writing who is online happen on a
// thread of its own, in batches, so a reconnection storm costs one round trip per batch.
class NatsHub final : public Hub {
public:
    static constexpr auto confirmWait = std::chrono::milliseconds(2000);

    NatsHub(const std::string& busUrl, PgPresence& presence);
    ~NatsHub() override;

    void attach(const std::shared_ptr<Subscriber>& subscriber, std::function<void()> afterReady = {}) override;
    void detach(const Subscriber& subscriber) override;
    void syncUser(const std::string& uid) override;
    bool signalUser(const std::string& uid) override;
    Stranger signalStranger(const std::string& senderUid) override;
    void closeDevice(const std::string& uid, const std::string& deviceId) override;
    void closeUser(const std::string& uid) override;
    void closeAll() override;

    bool busConnected() const { return bus_.connected(); }

private:
    struct Subscribed {
        BusConnection::Subscription subscription = nullptr;
        int streams = 0;
    };
    struct Opening {
        std::shared_ptr<Subscriber> stream;
        std::function<void()> afterReady;
    };

    void received(std::string_view subject, std::string_view message);
    bool tell(const std::string& uid, std::string_view message, bool confirm);
    void work();
    void writePresence(std::vector<PgPresence::Change>& changes, std::int64_t& nextBeat);

    LocalHub local_;
    PgPresence& presence_;
    BusConnection bus_;
    std::mutex mutex_;
    std::unordered_map<std::string, Subscribed> subscribed_;
    std::unordered_map<std::string, int> open_; // app streams that accept strangers, by user
    std::vector<Opening> opening_;
    std::vector<PgPresence::Change> changes_;
    bool unconfirmed_ = false;
    bool stopping_ = false;
    std::condition_variable wake_;
    std::thread worker_;
};

}
