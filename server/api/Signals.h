#pragma once
#include "api/AnyoneLedger.h"
#include "api/RateLimiter.h"
#include "hub/Hub.h"
#include "ops/Metrics.h"
#include "store/Store.h"

namespace tender::server {

// Sends hearts: to a person of the sender's list, or to someone in the world. Nothing about the
// sender travels with a signal, and nothing is kept beyond what the limits need.
class Signals {
public:
    static constexpr std::int64_t anyoneIntervalMs = 3600 * 1000;
    static constexpr double burstToOnePerson = 30;
    static constexpr double refillPerSecond = 1;

    enum class Sent { accepted, notFound, tooMany, unavailable };

    Signals(Store& store, Hub& hub, AnyoneLedger& ledger, Metrics& metrics);
    Sent toContact(const std::string& senderUid, const std::string& contactId, std::int64_t nowMs);
    Sent toAnyone(const std::string& senderUid, std::int64_t nowMs);
    // A stream that accepts strangers' signals opened: whether a waiting signal is now its user's.
    bool takeWaitingFor(const std::string& uid, std::int64_t nowMs);

private:
    Store& store_;
    Hub& hub_;
    AnyoneLedger& ledger_;
    RateLimiter perPerson_; // per node: several nodes together allow as many times more
    Counter& accepted_;
};

}
