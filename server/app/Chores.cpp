#include "app/Chores.h"
#include "common/Time.h"
#include <malloc.h>

namespace tender::server {

using namespace std::chrono_literals;

Chores::Chores(boost::asio::any_io_executor timers, boost::asio::any_io_executor work, Service& service)
{
    auto every = [&](std::string name, std::chrono::milliseconds period, std::function<void()> task) {
        all_.push_back(std::make_unique<Periodic>(timers, work, std::move(name), period, std::move(task),
            service.metrics()));
    };
    auto& lastSeen = service.lastSeen();
    auto& store = service.store();
    auto& readiness = service.readiness();
    every("last-seen flush", 5s, [&lastSeen] { lastSeen.flush(); });
    every("reset code purge", 10min, [&store] { store.purgeExpiredResetCodes(nowMs()); });
    every("readiness checks", 2s, [&readiness] { readiness.refresh(nowMs()); });
    // Give back what bursts of handshakes (a reconnection storm) freed, rather than hold it for the
    // life of the process.
    every("memory trim", 5s, [] { ::malloc_trim(0); });
}

void Chores::start()
{
    for (auto& chore : all_)
        chore->start();
}

void Chores::stop()
{
    for (auto& chore : all_)
        chore->stop();
}

void Chores::flushLastSeen()
{
    all_.front()->runHere();
}

}
