#include "ops/Readiness.h"

namespace tender::server {

void Readiness::add(std::string name, Check check)
{
    std::lock_guard lock(mutex_);
    entries_.push_back({std::move(name), std::move(check)});
}

void Readiness::refresh(std::int64_t nowMs)
{
    std::vector<std::pair<std::size_t, Check>> checks;
    {
        std::lock_guard lock(mutex_);
        if (refreshing_)
            return;
        refreshing_ = true;
        refreshStartedAtMs_ = nowMs;
        for (std::size_t i = 0; i < entries_.size(); ++i)
            checks.emplace_back(i, entries_[i].check);
    }
    std::vector<bool> outcomes;
    for (const auto& [index, check] : checks) {
        bool ok = false;
        try {
            ok = check();
        } catch (...) {
        }
        outcomes.push_back(ok);
    }
    std::lock_guard lock(mutex_);
    for (std::size_t i = 0; i < checks.size(); ++i)
        entries_[checks[i].first].ok = outcomes[i];
    refreshed_ = true;
    refreshing_ = false;
}

std::vector<Readiness::Result> Readiness::results(std::int64_t nowMs) const
{
    std::lock_guard lock(mutex_);
    bool fresh = refreshed_ && !(refreshing_ && nowMs - refreshStartedAtMs_ > stuckAfterMs);
    std::vector<Result> results;
    for (const auto& entry : entries_)
        results.push_back({entry.name, fresh && entry.ok});
    return results;
}

}
