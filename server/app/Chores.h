#pragma once
#include "app/Service.h"
#include "ops/Periodic.h"
#include <memory>
#include <vector>

namespace tender::server {

// What the service does by itself, again and again: the devices' last-seen flush, the purge of
// expired reset codes, the readiness checks and giving memory back. The flush writes to disk (a
// sync per batch) and the rest may wait for the database: none of it runs where it would hold up a
// stream or a password check.
class Chores {
public:
    Chores(boost::asio::any_io_executor timers, boost::asio::any_io_executor work, Service& service);
    void start();
    void stop();
    // The last-seen flush, once more, here: at the end, once the loop has stopped.
    void flushLastSeen();

private:
    std::vector<std::unique_ptr<Periodic>> all_;
};

}
