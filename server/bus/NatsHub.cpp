#include "bus/NatsHub.h"
#include "common/Log.h"
#include "common/Time.h"
#include "common/Unavailable.h"

namespace tender::server {
namespace {

constexpr std::string_view subjectPrefix = "tender.user.";
constexpr std::string_view closeDevicePrefix = "close-device ";

std::string subjectOf(const std::string& uid)
{
    return std::string(subjectPrefix) + uid;
}

bool acceptsStrangers(const Audience& a)
{
    return !a.deviceId && a.acceptsAnyone;
}

}

NatsHub::NatsHub(const std::string& busUrl, PgPresence& presence)
    : presence_(presence)
    , bus_(busUrl, [this](std::string_view subject, std::string_view message) { received(subject, message); })
    , worker_([this] { work(); })
{
}

NatsHub::~NatsHub()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    worker_.join();
    try {
        presence_.leave();
    } catch (const std::exception& error) {
        logLine(std::string("presence not cleared: ") + error.what());
    }
}

void NatsHub::received(std::string_view subject, std::string_view message)
{
    if (!subject.starts_with(subjectPrefix))
        return;
    std::string uid(subject.substr(subjectPrefix.size()));
    if (message == "signal")
        local_.signalUser(uid);
    else if (message == "anyone")
        local_.signalOpenStreams(uid);
    else if (message == "sync")
        local_.syncUser(uid);
    else if (message == "close")
        local_.closeUser(uid);
    else if (message.starts_with(closeDevicePrefix))
        local_.closeDevice(uid, std::string(message.substr(closeDevicePrefix.size())));
}

// A heart is acknowledged only once nats-server has taken it; other news is sent on a best effort.
bool NatsHub::tell(const std::string& uid, std::string_view message, bool confirm)
{
    bool handed = bus_.publish(subjectOf(uid), message) && (!confirm || bus_.flush(confirmWait));
    if (!handed)
        logLine("bus: a message could not be handed on");
    return handed;
}

void NatsHub::attach(const std::shared_ptr<Subscriber>& subscriber, std::function<void()> afterReady)
{
    const auto& audience = subscriber->audience();
    local_.add(subscriber);
    {
        std::lock_guard lock(mutex_);
        auto& subscribed = subscribed_[audience.uid];
        if (subscribed.streams++ == 0) {
            subscribed.subscription = bus_.subscribe(subjectOf(audience.uid));
            unconfirmed_ = true;
        }
        if (acceptsStrangers(audience) && open_[audience.uid]++ == 0)
            changes_.push_back({audience.uid, true});
        opening_.push_back({subscriber, std::move(afterReady)});
    }
    wake_.notify_one();
}

void NatsHub::detach(const Subscriber& subscriber)
{
    const auto& audience = subscriber.audience();
    local_.detach(subscriber);
    std::lock_guard lock(mutex_);
    if (auto found = subscribed_.find(audience.uid); found != subscribed_.end() && --found->second.streams == 0) {
        bus_.unsubscribe(found->second.subscription);
        subscribed_.erase(found);
    }
    if (auto found = open_.find(audience.uid); acceptsStrangers(audience) && found != open_.end() && --found->second == 0) {
        open_.erase(found);
        changes_.push_back({audience.uid, false});
        wake_.notify_one();
    }
}

void NatsHub::syncUser(const std::string& uid)
{
    local_.syncUser(uid);
    tell(uid, "sync", false);
}

bool NatsHub::signalUser(const std::string& uid)
{
    if (!tell(uid, "signal", true))
        return false;
    local_.signalUser(uid);
    return true;
}

Hub::Stranger NatsHub::signalStranger(const std::string& senderUid)
{
    std::optional<std::string> chosen;
    try {
        chosen = presence_.pickOtherThan(senderUid, nowMs());
    } catch (const Unavailable&) {
        return Stranger::unavailable;
    }
    if (!chosen)
        return Stranger::nobody;
    if (!tell(*chosen, "anyone", true))
        return Stranger::unavailable;
    local_.signalOpenStreams(*chosen);
    return Stranger::reached;
}

void NatsHub::closeDevice(const std::string& uid, const std::string& deviceId)
{
    local_.closeDevice(uid, deviceId);
    tell(uid, std::string(closeDevicePrefix) + deviceId, false);
}

void NatsHub::closeUser(const std::string& uid)
{
    local_.closeUser(uid);
    tell(uid, "close", false);
}

void NatsHub::closeAll()
{
    local_.closeAll();
}

void NatsHub::work()
{
    std::int64_t nextBeat = 0;
    std::vector<PgPresence::Change> unwritten;
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        wake_.wait_for(lock, std::chrono::milliseconds(unwritten.empty() ? PgPresence::beatMs : 1000),
            [&] { return stopping_ || !opening_.empty() || !changes_.empty() || nowMs() >= nextBeat; });
        if (stopping_)
            break;
        auto opening = std::move(opening_);
        opening_.clear();
        unwritten.insert(unwritten.end(), changes_.begin(), changes_.end());
        changes_.clear();
        bool confirm = std::exchange(unconfirmed_, false);
        lock.unlock();
        // New subscriptions reach nats-server before their streams hear "ready".
        if (confirm && !bus_.flush(confirmWait))
            logLine("bus: new subscriptions not confirmed");
        writePresence(unwritten, nextBeat);
        for (auto& o : opening) {
            o.stream->send(frames::ready());
            if (o.afterReady)
                o.afterReady();
        }
        lock.lock();
    }
}

// A failed write is kept and tried again; streams are told "ready" all the same.
void NatsHub::writePresence(std::vector<PgPresence::Change>& changes, std::int64_t& nextBeat)
{
    try {
        if (nowMs() >= nextBeat) {
            nextBeat = nowMs() + PgPresence::beatMs;
            if (!presence_.beat(nowMs())) {
                std::vector<std::string> everyone;
                {
                    std::lock_guard lock(mutex_);
                    for (const auto& [uid, streams] : open_)
                        everyone.push_back(uid);
                }
                presence_.replace(everyone);
                changes.clear();
            }
        }
        if (!changes.empty())
            presence_.apply(changes);
        changes.clear();
    } catch (const std::exception& error) {
        logLine(std::string("presence not written: ") + error.what());
    }
}

}
