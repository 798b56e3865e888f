#include "identity/IdentityLimits.h"

namespace tender::server {
namespace {

constexpr std::int64_t minute = 60 * 1000;

}

IdentityLimits::IdentityLimits(Counters& counters, Metrics& metrics)
    : passwordChecks(counters, "password_checks", 30, minute, metrics)
    , failedPasswords(counters, "failed_passwords", 10, 15 * minute, metrics)
    , resetMailsToAddress(counters, "reset_mails_to_address", 5, 60 * minute, metrics)
    , resetMailsFromClient(counters, "reset_mails_from_client", 20, 60 * minute, metrics)
    , outboxFull(refusalsOf(metrics, "outbox_full"))
{
}

}
