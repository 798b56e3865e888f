#include "bus/BusConnection.h"
#include "common/Log.h"
#include <nats/nats.h>
#include <stdexcept>

namespace tender::server {
namespace {

void check(natsStatus status, const char* what)
{
    if (status != NATS_OK)
        throw std::runtime_error(std::string(what) + ": " + natsStatus_GetText(status));
}

void onDisconnected(natsConnection*, void*) { logLine("bus connection lost; reconnecting"); }
void onReconnected(natsConnection*, void*) { logLine("bus connection back"); }

struct OptionsHolder {
    natsOptions* options = nullptr;
    ~OptionsHolder() { natsOptions_Destroy(options); }
};

}

BusConnection::BusConnection(const std::string& url, Handler handler)
    : handler_(std::move(handler))
{
    OptionsHolder holder;
    check(natsOptions_Create(&holder.options), "bus options");
    auto* o = holder.options;
    check(natsOptions_SetURL(o, url.c_str()), "bus address");
    natsOptions_SetName(o, "tender-server");
    natsOptions_SetTimeout(o, 3000);
    natsOptions_SetMaxReconnect(o, -1); // a bus outage is waited out, never fatal
    natsOptions_SetReconnectWait(o, 500);
    natsOptions_SetPingInterval(o, 5000);
    natsOptions_SetMaxPingsOut(o, 2);
    natsOptions_SetNoEcho(o, true); // this node delivers its own messages itself
    natsOptions_UseGlobalMessageDelivery(o, true); // one thread for every subscription, not one each
    natsOptions_SetDisconnectedCB(o, onDisconnected, nullptr);
    natsOptions_SetReconnectedCB(o, onReconnected, nullptr);
    auto status = natsConnection_Connect(&connection_, o);
    if (status != NATS_OK)
        throw std::runtime_error("cannot connect to the bus at " + url + ": " + natsStatus_GetText(status));
}

BusConnection::~BusConnection()
{
    natsConnection_Close(connection_);
    natsConnection_Destroy(connection_);
}

void BusConnection::deliver(natsConnection*, natsSubscription*, natsMsg* message, void* self)
{
    auto& bus = *static_cast<BusConnection*>(self);
    bus.handler_(natsMsg_GetSubject(message),
        std::string_view(natsMsg_GetData(message), static_cast<std::size_t>(natsMsg_GetDataLength(message))));
    natsMsg_Destroy(message);
}

BusConnection::Subscription BusConnection::subscribe(const std::string& subject)
{
    natsSubscription* subscription = nullptr;
    auto status = natsConnection_Subscribe(&subscription, connection_, subject.c_str(), deliver, this);
    if (status != NATS_OK) {
        logLine(std::string("bus subscription refused: ") + natsStatus_GetText(status));
        return nullptr;
    }
    return subscription;
}

void BusConnection::unsubscribe(Subscription subscription)
{
    if (!subscription)
        return;
    natsSubscription_Unsubscribe(subscription);
    natsSubscription_Destroy(subscription);
}

bool BusConnection::publish(const std::string& subject, std::string_view data)
{
    if (!connected())
        return false;
    return natsConnection_Publish(connection_, subject.c_str(), data.data(), static_cast<int>(data.size())) == NATS_OK;
}

bool BusConnection::flush(std::chrono::milliseconds limit)
{
    return connected() && natsConnection_FlushTimeout(connection_, limit.count()) == NATS_OK;
}

bool BusConnection::connected() const
{
    return natsConnection_Status(connection_) == NATS_CONN_STATUS_CONNECTED;
}

}
