#include "api/Signals.h"

namespace tender::server {

Signals::Signals(Store& store, Hub& hub, AnyoneLedger& ledger, Metrics& metrics)
    : store_(store)
    , hub_(hub)
    , ledger_(ledger)
    , perPerson_(burstToOnePerson, refillPerSecond)
    , accepted_(metrics.counter("tender_signals_accepted_total", "Signals accepted for delivery"))
{
}

Signals::Sent Signals::toContact(const std::string& senderUid, const std::string& contactId, std::int64_t nowMs)
{
    auto target = store_.contactTarget(senderUid, contactId);
    if (!target)
        return Sent::notFound;
    if (!perPerson_.allow(senderUid + "\n" + *target, nowMs))
        return Sent::tooMany;
    if (!hub_.signalUser(*target))
        return Sent::unavailable;
    accepted_.add();
    return Sent::accepted;
}

Signals::Sent Signals::toAnyone(const std::string& senderUid, std::int64_t nowMs)
{
    if (!ledger_.claimHour(senderUid, nowMs, anyoneIntervalMs))
        return Sent::tooMany;
    switch (hub_.signalStranger(senderUid)) {
    case Hub::Stranger::reached:
        break;
    case Hub::Stranger::nobody:
        ledger_.keepWaiting(senderUid, nowMs + anyoneIntervalMs);
        break;
    case Hub::Stranger::unavailable:
        ledger_.releaseHour(senderUid, nowMs);
        return Sent::unavailable;
    }
    accepted_.add();
    return Sent::accepted;
}

bool Signals::takeWaitingFor(const std::string& uid, std::int64_t nowMs)
{
    return ledger_.takeWaiting(uid, nowMs);
}

}
