#pragma once
#include "limits/Throttle.h"

namespace tender::server {

// What strangers may ask of the identity provider. Password checks cost 64 MiB and a good part of a
// core each, so they are counted per client; failed passwords are counted per address and client
// together, so that nobody can lock a person out of their own account by failing on purpose.
struct IdentityLimits {
    IdentityLimits(Counters& counters, Metrics& metrics);

    Throttle passwordChecks;      // per client
    Throttle failedPasswords;     // per address and client
    Throttle resetMailsToAddress; // per address, whether it has an account or not
    Throttle resetMailsFromClient;
    Counter& outboxFull;
};

}
