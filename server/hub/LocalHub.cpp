#include "hub/LocalHub.h"
#include "common/Random.h"
#include <algorithm>

namespace tender::server {

namespace {
bool isApp(const Audience& a) { return !a.deviceId; }
}

void LocalHub::attach(const std::shared_ptr<Subscriber>& subscriber, std::function<void()> afterReady)
{
    {
        const auto& audience = subscriber->audience();
        std::lock_guard lock(mutex_);
        byUser_[audience.uid].push_back({subscriber.get(), subscriber});
        if (isApp(audience) && audience.acceptsAnyone)
            anyone_.add(audience.uid);
    }
    subscriber->send(frames::ready());
    if (afterReady)
        afterReady();
}

void LocalHub::add(const std::shared_ptr<Subscriber>& subscriber)
{
    std::lock_guard lock(mutex_);
    byUser_[subscriber->audience().uid].push_back({subscriber.get(), subscriber});
}

void LocalHub::detach(const Subscriber& subscriber)
{
    const auto& audience = subscriber.audience();
    std::lock_guard lock(mutex_);
    auto user = byUser_.find(audience.uid);
    if (user == byUser_.end())
        return;
    auto& entries = user->second;
    auto found = std::find_if(entries.begin(), entries.end(), [&](const Entry& e) { return e.key == &subscriber; });
    if (found == entries.end())
        return;
    entries.erase(found);
    if (entries.empty())
        byUser_.erase(user);
    if (isApp(audience) && audience.acceptsAnyone)
        anyone_.remove(audience.uid);
}

std::vector<std::shared_ptr<Subscriber>> LocalHub::streamsOf(const std::string& uid, const Filter& wanted)
{
    std::vector<std::shared_ptr<Subscriber>> streams;
    std::lock_guard lock(mutex_);
    auto user = byUser_.find(uid);
    if (user == byUser_.end())
        return streams;
    for (const auto& entry : user->second)
        if (auto s = entry.subscriber.lock(); s && wanted(s->audience()))
            streams.push_back(std::move(s));
    return streams;
}

void LocalHub::syncUser(const std::string& uid)
{
    for (const auto& s : streamsOf(uid, isApp))
        s->send(frames::sync());
}

bool LocalHub::signalUser(const std::string& uid)
{
    for (const auto& s : streamsOf(uid, [](const Audience& a) { return a.receivesSignals; }))
        s->send(frames::signal());
    return true;
}

bool LocalHub::signalOpenStreams(const std::string& uid)
{
    auto streams = streamsOf(uid, [](const Audience& a) { return isApp(a) && a.acceptsAnyone; });
    for (const auto& s : streams)
        s->send(frames::signal());
    return !streams.empty();
}

Hub::Stranger LocalHub::signalStranger(const std::string& senderUid)
{
    std::optional<std::string> chosen;
    {
        std::lock_guard lock(mutex_);
        chosen = anyone_.pickOtherThan(senderUid, randomBelow);
    }
    return chosen && signalOpenStreams(*chosen) ? Stranger::reached : Stranger::nobody;
}

void LocalHub::closeDevice(const std::string& uid, const std::string& deviceId)
{
    for (const auto& s : streamsOf(uid, [&](const Audience& a) { return a.deviceId == deviceId; }))
        s->close(Subscriber::CloseReason::revoked);
}

void LocalHub::closeUser(const std::string& uid)
{
    for (const auto& s : streamsOf(uid, [](const Audience&) { return true; }))
        s->close(Subscriber::CloseReason::revoked);
}

void LocalHub::closeAll()
{
    std::vector<std::shared_ptr<Subscriber>> streams;
    {
        std::lock_guard lock(mutex_);
        for (const auto& [uid, entries] : byUser_)
            for (const auto& entry : entries)
                if (auto s = entry.subscriber.lock())
                    streams.push_back(std::move(s));
    }
    for (const auto& s : streams)
        s->close(Subscriber::CloseReason::shutdown);
}

}
