#pragma once
#include <chrono>
#include <functional>
#include <string>
#include <string_view>

struct __natsConnection;
struct __natsSubscription;
struct __natsMsg;

namespace tender::server {

// One connection to nats-server, reconnecting by itself for as long as the process runs.
// Messages of every subscription arrive on one delivery thread of the library.
class BusConnection {
public:
    using Handler = std::function<void(std::string_view subject, std::string_view data)>;
    using Subscription = __natsSubscription*;

    // Throws with a clear message when the server cannot be reached at start.
    BusConnection(const std::string& url, Handler handler);
    ~BusConnection();
    BusConnection(const BusConnection&) = delete;
    BusConnection& operator=(const BusConnection&) = delete;

    Subscription subscribe(const std::string& subject); // nullptr when refused
    void unsubscribe(Subscription subscription);
    // False when the connection is down: the message was not handed on.
    bool publish(const std::string& subject, std::string_view data);
    // Waits until the server has handled everything sent before; false when it did not answer.
    bool flush(std::chrono::milliseconds limit);
    bool connected() const;

private:
    static void deliver(__natsConnection*, __natsSubscription*, __natsMsg* message, void* self);

    Handler handler_;
    __natsConnection* connection_ = nullptr;
};

}
